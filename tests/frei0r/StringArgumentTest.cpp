// Reading a frei0r string argument in both forms next to memory that is not there: a text
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
    struct Case {
        const char* what;
        const char* text;  // placed to end at the hole; null: none placed
        bool terminated;
        const void* value;  // null: the text placed
        bool direct_reading;
    } cases[] = {
        {"the char* of a text ending at the hole", "Rectangle", true, nullptr, true},
        {"the char* of a text running into the hole", "Rectangle", false, nullptr, false},
        {"the hole itself", nullptr, false, bytes_ + page_, false},
        {"null", nullptr, false, nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const void* value = c.text ? AtTheEnd(c.text, c.terminated) : c.value;
        const StringReadings readings = ReadStringArgument(value);
        EXPECT_FALSE(readings.through_pointer);  // its bytes point nowhere readable
        EXPECT_EQ(readings.direct.has_value(), c.direct_reading);
        if (readings.direct) {
            EXPECT_EQ(*readings.direct, c.text);
        }
    }
    // A pointer to the char*, itself the last eight bytes before the hole.
    const char* pointer = "Ellipse";
    const char* slot = AtTheEnd(std::string(reinterpret_cast<const char*>(&pointer), sizeof pointer), false);
    const StringReadings readings = ReadStringArgument(slot);
    ASSERT_TRUE(readings.through_pointer);
    EXPECT_EQ(*readings.through_pointer, "Ellipse");
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
