// Switching the system's default endpoint along with the Sound Mapper values.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "audio/default_endpoint.h"
#include "tests/native/main_window_test_fixture.h"

namespace marvolt {
namespace {

using ::testing::_;
using ::testing::NiceMock;
using ::testing::Return;

class MockOutputs : public SoundDevices {
public:
    MOCK_METHOD(std::uint32_t, OutputDeviceCount, (), (override));
    MOCK_METHOD(std::uint32_t, OutputDeviceName, (std::uint32_t, std::u16string&), (override));
};

class MockEndpoints : public AudioEndpoints {
public:
    MOCK_METHOD(bool, PolicyAvailable, (), (override));
    MOCK_METHOD(std::uint32_t, InputDeviceCount, (), (override));
    MOCK_METHOD(std::uint32_t, InputDeviceName, (std::uint32_t, std::u16string&), (override));
    MOCK_METHOD(std::u16string, EndpointId, (WaveDirection, std::uint32_t), (override));
    MOCK_METHOD(std::int32_t, SetDefaultEndpoint, (const std::u16string&, EndpointRole), (override));
};

constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);

// Outputs "Speakers", "Headset", a failing device, "Лампа"; inputs "Monitor of
// Speakers", "Headset", "Лампа". Endpoint ids name their device; every call of
// the policy is recorded as "<id> <role>" and answered from `answers` (0 after).
struct Machine {
    Machine() {
        auto names = [](std::vector<std::u16string> list) {
            return [list](std::uint32_t id, std::u16string& field) -> std::uint32_t {
                if (list[id].empty()) return 2;
                field = list[id] + std::u16string(32 - list[id].size(), u'\0') + u"junk";
                return 0;
            };
        };
        ON_CALL(outputs, OutputDeviceCount()).WillByDefault(Return(4));
        ON_CALL(outputs, OutputDeviceName(_, _)).WillByDefault(names({u"Speakers", u" Headset ", u"", u"Лампа"}));
        ON_CALL(endpoints, PolicyAvailable()).WillByDefault(Return(true));
        ON_CALL(endpoints, InputDeviceCount()).WillByDefault(Return(3));
        ON_CALL(endpoints, InputDeviceName(_, _)).WillByDefault(names({u"Monitor of Speakers", u"Headset", u"Лампа"}));
        ON_CALL(endpoints, EndpointId(_, _)).WillByDefault([](WaveDirection direction, std::uint32_t device) {
            return (direction == WaveDirection::Output ? u"out" : u"in") + Decimal(device);
        });
        ON_CALL(endpoints, SetDefaultEndpoint(_, _)).WillByDefault([this](const std::u16string& id, EndpointRole role) {
            calls.push_back(ToUtf8(id) + " " + std::to_string(static_cast<int>(role)));
            return answers.size() < calls.size() ? 0 : answers[calls.size() - 1];
        });
    }
    NiceMock<MockOutputs> outputs;
    NiceMock<MockEndpoints> endpoints;
    DefaultEndpoint endpoint{outputs, endpoints};
    std::vector<std::string> calls;
    std::vector<std::int32_t> answers;
};

TEST(DefaultEndpoint, EachTickedRoleGetsTheEndpointOfTheDeviceWithThatName) {
    using Calls = std::vector<std::string>;
    const Calls render1 = {"out1 0", "out1 1", "out1 2"}, capture1 = {"in1 0", "in1 1", "in1 2"};
    struct Case {
        const char16_t* name;
        bool play, record;
        Calls calls;
        EndpointSwitch::Outcome outcome;
        bool captureUnchanged;
    };
    auto both = render1;
    both.insert(both.end(), capture1.begin(), capture1.end());
    const Case cases[] = {
        {u"Headset", true, true, both, EndpointSwitch::Outcome::Switched, false},
        {u"Headset", true, false, render1, EndpointSwitch::Outcome::Switched, false},
        {u"Headset", false, true, capture1, EndpointSwitch::Outcome::Switched, false},
        {u"Speakers", true, true, {"out0 0", "out0 1", "out0 2"}, EndpointSwitch::Outcome::Switched, true},
        {u"Лампа", true, true, {"out3 0", "out3 1", "out3 2", "in2 0", "in2 1", "in2 2"},
         EndpointSwitch::Outcome::Switched, false},
        {u"Speakers", false, true, {}, EndpointSwitch::Outcome::Switched, true},
        {u"Gone", true, true, {}, EndpointSwitch::Outcome::Failed, false},
        {u"Headset", false, false, {}, EndpointSwitch::Outcome::NotAvailable, false},
    };
    for (const Case& c : cases) {
        Machine machine;
        EndpointSwitch result = machine.endpoint.Switch(c.name, c.play, c.record);
        EXPECT_EQ(machine.calls, c.calls) << ToUtf8(c.name) << c.play << c.record;
        EXPECT_EQ(result.outcome, c.outcome) << ToUtf8(c.name) << c.play << c.record;
        EXPECT_EQ(result.captureUnchanged, c.captureUnchanged) << ToUtf8(c.name) << c.play << c.record;
        if (c.outcome == EndpointSwitch::Outcome::Failed) {
            EXPECT_EQ(result.error, DefaultEndpoint::kNoEndpoint);
        }
    }
}

TEST(DefaultEndpoint, ARefusalStopsAtOnceAndNoPolicyMeansNoCall) {
    Machine refused;
    refused.answers = {0, kFail};
    EndpointSwitch result = refused.endpoint.Switch(u"Headset", true, true);
    EXPECT_EQ(result.outcome, EndpointSwitch::Outcome::Failed);
    EXPECT_EQ(result.error, kFail);
    EXPECT_EQ(refused.calls, (std::vector<std::string>{"out1 0", "out1 1"}));

    Machine absent;
    EXPECT_CALL(absent.endpoints, PolicyAvailable()).WillRepeatedly(Return(false));
    EXPECT_CALL(absent.endpoints, SetDefaultEndpoint(_, _)).Times(0);
    EXPECT_EQ(absent.endpoint.Switch(u"Headset", true, true).outcome, EndpointSwitch::Outcome::NotAvailable);
}

using testing::MainWindowTest;

class SetDeviceWithEndpoints : public MainWindowTest {
protected:
    Machine machine;
    MainWindow switching{view, MainWindowServices{registry, settings, devices, messages, identity, launcher, beeper,
                                                  processEnd, guard, pin, tray, documents, &machine.endpoint}};
};

TEST_F(SetDeviceWithEndpoints, ARefusalIsToldAndNothingIsClaimed) {
    LoadRows({u"Speakers", u"Headset"});
    view.PlayCheck().SetValue(1);
    view.RecordCheck().SetValue(1);
    switching.SetDevice(u"Speakers");
    machine.calls.clear();
    machine.answers = {kFail};
    switching.SetDevice(u"Headset");

    EXPECT_EQ(Mapper(u"Playback"), u"Headset") << "the Sound Mapper values stay written";
    EXPECT_EQ(Mapper(u"Record"), u"Headset");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_THAT(ToUtf8(messages.shown[0].text), ::testing::HasSubstr("\"Headset\""));
    EXPECT_THAT(ToUtf8(messages.shown[0].text), ::testing::HasSubstr("0x80004005"));
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Critical);
    EXPECT_EQ(view.CurrentCardTxt().Caption(), u"Default Soundcard: Speakers (recording default unchanged)");
    EXPECT_EQ(switching.CurrentDevice(), u"Speakers");
}

TEST_F(MainWindowTest, MixerFallsBackToTheNewerProgram) {
    for (std::uint32_t result : {4242u, 0u}) {
        launcher.started.clear();
        launcher.result = result;
        window.OnTrayMenu(u"Windows audio mixer ...");
        std::vector<std::u16string> started;
        for (const auto& start : launcher.started) started.push_back(start.commandLine);
        std::vector<std::u16string> expected{u"sndvol32.exe"};
        if (result == 0) expected.push_back(u"sndvol.exe");
        EXPECT_EQ(started, expected);
    }
}

}  // namespace
}  // namespace marvolt
