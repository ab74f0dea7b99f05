// The simulated host lays out what it exchanges with a plug-in as shipping hosts do, without
// trusting sdk/: stand-in plug-ins that use the layouts of our first declarations (a 312-byte
// PF_ParamDef, PF_CustomUIInfo with `events` first) must fail here as they would in a real
// host, not pass because both sides share the mistake.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "../CaseName.h"
#include "hostsim/instruments/Host.h"
#include "hostsim/instruments/OverlayEvents.h"

#if defined(__SANITIZE_ADDRESS__)
#define QXV_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QXV_ADDRESS_SANITIZER 1
#endif
#endif

namespace qxv::host_tests {
namespace {

using hostsim::Host;
using hostsim::HostApp;

// ---- Reading past a record the host hands over ----

enum class Record { kParam, kInData, kOutData, kEvent };

struct OverreadCase {
    const char* what;
    Record record;
    std::size_t bytes;  // how many bytes from the record's start the stand-in reads
    bool past_the_end;
};

const OverreadCase* g_overread = nullptr;  // the case the stand-in plays; death tests inherit it

PF_Err ReadRecord(PF_Cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef* params[], PF_LayerDef*,
                  void* extra) {
    const void* record = nullptr;
    switch (g_overread->record) {
        case Record::kParam: record = params[0]; break;
        case Record::kInData: record = in_data; break;
        case Record::kOutData: record = out_data; break;
        case Record::kEvent: record = extra; break;
    }
    unsigned char copy[512];
    std::memcpy(copy, record, g_overread->bytes);
    volatile unsigned char sink = 0;
    for (std::size_t i = 0; i < g_overread->bytes; ++i) sink = sink ^ copy[i];
    return PF_Err_NONE;
}

void SendTo(Host& host, Record record) {
    if (record == Record::kEvent) {
        hostsim::EventSession session(host, hostsim::OverlayView{}, {64, 48});
        session.Draw();
    } else {
        host.SendWithParams(PF_Cmd_UPDATE_PARAMS_UI, nullptr);
    }
}

const OverreadCase kOverreadCases[] = {
    {"a parameter copied at its shipping 176 bytes", Record::kParam, 176, false},
    // UpdateParamsUI once copied params[k] as a 312-byte PF_ParamDef.
    {"a parameter copied at the 312 bytes of the old declaration", Record::kParam, 312, true},
    {"in_data at 408 bytes", Record::kInData, 408, false},
    {"in_data one byte beyond", Record::kInData, 409, true},
    {"out_data one byte beyond", Record::kOutData, 409, true},
    {"the event record at 208 bytes", Record::kEvent, 208, false},
    {"the event record one byte beyond", Record::kEvent, 209, true},
};

class HostRecordBounds : public testing::TestWithParam<OverreadCase> {};

TEST_P(HostRecordBounds, EachRecordEndsWhereAShippingHostsDoes) {
    const OverreadCase& c = GetParam();
    g_overread = &c;
    Host host(HostApp::kAfterEffects, ReadRecord);
    if (!c.past_the_end) {
        SendTo(host, c.record);
        EXPECT_TRUE(host.AllViolations().empty()) << c.what;
        return;
    }
#if defined(QXV_ADDRESS_SANITIZER)
    EXPECT_DEATH(SendTo(host, c.record), "buffer-overflow") << c.what;
#else
    GTEST_SKIP() << "reading past a record is caught under AddressSanitizer (the asan run)";
#endif
}

INSTANTIATE_TEST_SUITE_P(Cases, HostRecordBounds, testing::ValuesIn(kOverreadCases),
                         [](const testing::TestParamInfo<OverreadCase>& info) { return test::CaseName(info.param.what); });

// ---- Reading what the plug-in registers ----

struct RegisterUICase {
    const char* what;
    std::size_t events_offset;  // where the stand-in writes its window flags
    A_long events_read;         // what the host takes for `events`
    bool violation;
};

const RegisterUICase* g_register = nullptr;

PF_Err RegisterCustomUI(PF_Cmd cmd, PF_InData* in_data, PF_OutData* out_data, PF_ParamDef*[], PF_LayerDef*, void*) {
    if (cmd != PF_Cmd_PARAMS_SETUP) return PF_Err_NONE;
    A_long record[11] = {};  // the shipping size; only where `events` goes differs
    record[g_register->events_offset / sizeof(A_long)] = PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER;
    out_data->num_params = 1;
    return in_data->inter.register_ui(in_data->effect_ref, reinterpret_cast<PF_CustomUIInfo*>(record));
}

const RegisterUICase kRegisterUICases[] = {
    {"events at 4, after reserved", 4, PF_CustomEFlag_COMP | PF_CustomEFlag_LAYER, false},
    // The first declaration put events first: a shipping host reads its flags as `reserved`.
    {"events at 0, as first declared", 0, 0, true},
};

class RegisterUILayout : public testing::TestWithParam<RegisterUICase> {};

TEST_P(RegisterUILayout, TheHostReadsEventsAtOffsetFour) {
    const RegisterUICase& c = GetParam();
    g_register = &c;
    Host host(HostApp::kAfterEffects, RegisterCustomUI);
    ASSERT_EQ(host.ParamsSetup(), PF_Err_NONE);
    ASSERT_EQ(host.registered_ui().size(), 1u);
    EXPECT_EQ(host.registered_ui()[0].events, c.events_read) << c.what;
    EXPECT_EQ(host.CommandViolations().size(), c.violation ? 1u : 0u) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, RegisterUILayout, testing::ValuesIn(kRegisterUICases));

}  // namespace
}  // namespace qxv::host_tests
