// Reading a frei0r string argument in either form next to memory that is not there: a text
// that ends at the last byte before an unmapped page is read whole, one that runs into it is
// refused, and neither faults.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>

#include "StringArgument.h"

namespace qxv::frei0r {
namespace {

// One readable page followed by one that is not mapped.
class PageBeforeAHole : public testing::Test {
protected:
    void SetUp() override {
        page_ = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        void* at = mmap(nullptr, 2 * page_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        ASSERT_NE(at, MAP_FAILED);
        bytes_ = static_cast<char*>(at);
        ASSERT_EQ(munmap(bytes_ + page_, page_), 0);
    }
    void TearDown() override { munmap(bytes_, page_); }

    // Places `text` so that its last byte (the NUL when `terminated`) is the page's last.
    const char* AtTheEnd(const std::string& text, bool terminated) {
        const std::size_t size = text.size() + (terminated ? 1 : 0);
        char* at = bytes_ + page_ - size;
        std::memcpy(at, text.c_str(), size);
        return at;
    }

    std::size_t page_ = 0;
    char* bytes_ = nullptr;
};

TEST_F(PageBeforeAHole, ReadsWhatIsThereAndRefusesWhatIsNot) {
    // A pointer to a text, itself the last eight bytes before the hole.
    const char* pointer = "Ellipse";
    const std::string pointer_bytes(reinterpret_cast<const char*>(&pointer), sizeof pointer);
    struct Case {
        const char* what;
        std::string text;  // placed to end at the hole; empty: none placed
        bool terminated;
        const void* value;  // null: the text placed
        StringForm form;
        const char* read;  // null: nothing read
    } cases[] = {
        {"the char* of a text ending at the hole", "Rectangle", true, nullptr, StringForm::kText, "Rectangle"},
        {"the char* of a text running into the hole", "Rectangle", false, nullptr, StringForm::kText, nullptr},
        {"a char** as the last bytes before the hole", pointer_bytes, false, nullptr, StringForm::kPointerToText,
         "Ellipse"},
        {"a char** running into the hole", pointer_bytes.substr(0, 4), false, nullptr, StringForm::kPointerToText,
         nullptr},
        {"the hole itself, as text", "", false, bytes_ + page_, StringForm::kText, nullptr},
        {"the hole itself, as a char**", "", false, bytes_ + page_, StringForm::kPointerToText, nullptr},
        {"null", "", false, nullptr, StringForm::kText, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const void* value = c.text.empty() ? c.value : AtTheEnd(c.text, c.terminated);
        const std::optional<std::string> read = ReadStringArgument(value, c.form);
        EXPECT_EQ(read.has_value(), c.read != nullptr);
        if (read && c.read) {
            EXPECT_EQ(*read, c.read);
        }
    }
}

TEST_F(PageBeforeAHole, CopiesOnlyWhatIsWhollyReadable) {
    char out[16];
    EXPECT_TRUE(CopyIfReadable(bytes_ + page_ - 8, out, 8));
    EXPECT_FALSE(CopyIfReadable(bytes_ + page_ - 8, out, 9));
    EXPECT_FALSE(CopyIfReadable(nullptr, out, 1));
    errno = 1234;
    CopyIfReadable(bytes_ + page_, out, 1);
    EXPECT_EQ(errno, 1234);
}

}  // namespace
}  // namespace qxv::frei0r
