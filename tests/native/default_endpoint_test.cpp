// Making a device the system's default endpoint for the ticked roles, and
// finding the devices that have the default endpoints.
#include "audio/default_endpoint.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/text.h"

namespace marvolt {
namespace {

using Names = std::vector<std::u16string>;
using Calls = std::vector<std::string>;

constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);

// A name field as winmm fills it ("" fails the query).
std::uint32_t Field(const Names& names, std::uint32_t id, std::u16string& field) {
    field = names[id] + std::u16string(32 - names[id].size(), u'\0') + u"junk";
    return names[id].empty() ? 2 : 0;
}

// Outputs " Headset " (blanks are cut), a failing one, "Speakers", "Лампа";
// inputs "Monitor of Speakers", "Headset", "Лампа". An endpoint id names its
// device; the policy's calls are recorded as "<id> <role>" and answered in turn.
// The communications defaults are out0 and in2.
struct Machine : SoundDevices, AudioEndpoints {
    explicit Machine(bool available = true, std::vector<std::int32_t> answers = {})
        : available(available), answers(std::move(answers)) {}
    std::uint32_t OutputDeviceCount() override { return 4; }
    std::uint32_t OutputDeviceName(std::uint32_t id, std::u16string& field) override {
        return Field(outputs, id, field);
    }
    bool PolicyAvailable() override { return available; }
    std::uint32_t InputDeviceCount() override { return 3; }
    std::uint32_t InputDeviceName(std::uint32_t id, std::u16string& field) override {
        return Field({u"Monitor of Speakers", u"Headset", u"Лампа"}, id, field);
    }
    std::u16string EndpointId(WaveDirection direction, std::uint32_t device) override {
        return (direction == WaveDirection::Output ? u"out" : u"in") + Decimal(device);
    }
    std::int32_t SetDefaultEndpoint(const std::u16string& id, EndpointRole role) override {
        calls.push_back(ToUtf8(id) + " " + std::to_string(static_cast<int>(role)));
        return calls.size() <= answers.size() ? answers[calls.size() - 1] : 0;
    }
    std::u16string DefaultEndpointId(WaveDirection direction, EndpointRole role) override {
        const bool output = direction == WaveDirection::Output;
        if (role == EndpointRole::Communications) return output ? u"out0" : u"in2";
        return output ? render : capture;
    }
    Names outputs{u" Headset ", u"", u"Speakers", u"Лампа"};
    bool available;
    std::vector<std::int32_t> answers;
    std::u16string render, capture;  // the default endpoints of the other roles
    Calls calls;
    DefaultEndpoint endpoint{*this, *this};
};

// Roles: "p" playback, "r" record, "!" no policy; "d" the default roles only,
// "c" communications only. The outcome as the policy's calls, then the result.
TEST(DefaultEndpoint, EachTickedRoleGetsTheEndpointOfTheDeviceWithThatName) {
    struct Case {
        const char16_t* name;
        std::string roles;
        std::vector<std::int32_t> answers;
        const char* want;
    } const cases[] = {
        {u"Headset", "pr", {}, "out0 0, out0 1, out0 2, in1 0, in1 1, in1 2, switched"},
        {u"Лампа", "pr", {}, "out3 0, out3 1, out3 2, in2 0, in2 1, in2 2, switched"},
        {u"Speakers", "pr", {}, "out2 0, out2 1, out2 2, switched, capture unchanged"},
        {u"Gone", "pr", {}, "failed 0x80070490"},
        // A refusal stops the switch where it came.
        {u"Headset", "pr", {0, kFail}, "out0 0, out0 1, failed 0x80004005"},
        {u"Headset", "pr", {0, 0, 0, kFail}, "out0 0, out0 1, out0 2, in1 0, failed 0x80004005"},
        {u"Headset", "prd", {}, "out0 0, out0 1, in1 0, in1 1, switched"},
        {u"Headset", "pc", {}, "out0 2, switched"},
        {u"Headset", "pr!", {}, "not available"},
        {u"Headset", "", {}, "not available"},
    };
    const char* outcomes[] = {"not available", "switched", "failed"};
    for (const Case& c : cases) {
        auto has = [&](char flag) { return c.roles.find(flag) != std::string::npos; };
        Machine machine(!has('!'), c.answers);
        RoleMask roles = has('d') ? kDefaultRoles : has('c') ? kCommunicationsRole : kAllRoles;
        EndpointSwitch result = machine.endpoint.Switch(c.name, has('p'), has('r'), roles);
        std::string seen;
        for (const std::string& call : machine.calls) seen += call + ", ";
        seen += outcomes[static_cast<int>(result.outcome)];
        char error[16];
        std::snprintf(error, sizeof error, " 0x%08x", static_cast<unsigned>(result.error));
        if (result.error) seen += error;
        if (result.captureUnchanged) seen += ", capture unchanged";
        EXPECT_EQ(seen, c.want) << ToUtf8(c.name) << " " << c.roles;
    }
}

TEST(DefaultEndpoint, StoredRolesChoiceReadsAsAllUnlessItIsOneOfTheOthers) {
    const std::pair<const char16_t*, int> cases[] = {
        {u"all", 0}, {u"default", 1}, {u"communications", 2},
        {u"", 0},    {u"Default", 0}, {u"communications ", 0},
        {u"1", 0},
    };
    for (const auto& [stored, choice] : cases)
        EXPECT_EQ(RoleChoice(stored), choice) << ToUtf8(stored);
}

TEST(DefaultEndpoint, DevicesOfOneNameAreNumberedFromTheSecondOn) {
    std::vector<std::u16string> names{u"USB", u"Mic", u"USB", u"", u"USB", u"", u"Mic"};
    NumberSameNames(names);
    EXPECT_EQ(names, (std::vector<std::u16string>{u"USB", u"Mic", u"USB (2)", u"", u"USB (3)", u"",
                                                  u"Mic (2)"}));
    // Each switches its own endpoint, is found as the default by it, and is
    // reported under the name they share.
    Machine machine;
    machine.outputs = {u"USB", u"Speakers", u"USB", u"Лампа"};
    machine.render = u"out2";
    machine.endpoint.Switch(u"USB (2)", true, false, kDefaultRoles);
    EXPECT_EQ(machine.calls, (Calls{"out2 0", "out2 1"}));
    EXPECT_EQ(ToUtf8(machine.endpoint.CurrentDefaults()->playback), "USB (2)");
    EXPECT_EQ(ToUtf8(machine.endpoint.ReportedName(WaveDirection::Output, u"USB (2)")), "USB");
}

// The default endpoints lead back, by id, to the devices that have them.
TEST(DefaultEndpoint, CurrentDefaultsAreTheDevicesWithTheDefaultEndpoints) {
    const std::tuple<const char16_t*, const char16_t*, bool, const char*> cases[] = {
        {u"out2", u"in1", true, "Speakers|Headset|Headset|Лампа"},
        {u"out0", u"in2", true, "Headset|Лампа|Headset|Лампа"},
        {u"", u"in1", true, "|Headset|Headset|Лампа"},
        {u"out2", u"in1", false, "none"},
    };
    for (const auto& [render, capture, available, defaults] : cases) {
        Machine machine(available);
        machine.render = render;
        machine.capture = capture;
        std::optional<DefaultDevices> d = machine.endpoint.CurrentDefaults();
        EXPECT_EQ(ToUtf8(d ? d->playback + u"|" + d->record + u"|" + d->communicationsPlayback +
                                 u"|" + d->communicationsRecord
                           : u"none"),
                  defaults);
    }
}

}  // namespace
}  // namespace marvolt
