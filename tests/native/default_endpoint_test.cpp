// Switching the system's default endpoint along with the Sound Mapper values.
#include <gmock/gmock.h>

#include "tests/native/main_window_fixture.h"

namespace marvolt::fakes {
namespace {

using ::testing::_;
using Calls = std::vector<std::string>;

struct MockOutputs : SoundDevices {
    MOCK_METHOD(std::uint32_t, OutputDeviceCount, (), (override));
    MOCK_METHOD(std::uint32_t, OutputDeviceName, (std::uint32_t, std::u16string&), (override));
};
struct MockEndpoints : AudioEndpoints {
    MOCK_METHOD(bool, PolicyAvailable, (), (override));
    MOCK_METHOD(std::uint32_t, InputDeviceCount, (), (override));
    MOCK_METHOD(std::uint32_t, InputDeviceName, (std::uint32_t, std::u16string&), (override));
    MOCK_METHOD(std::u16string, EndpointId, (WaveDirection, std::uint32_t), (override));
    MOCK_METHOD(std::int32_t, SetDefaultEndpoint, (const std::u16string&, EndpointRole), (override));
    MOCK_METHOD(std::u16string, DefaultEndpointId, (WaveDirection), (override));
};

constexpr std::int32_t kFail = static_cast<std::int32_t>(0x80004005u);

// Name fields as winmm fills them, for a list of names ("" fails the query).
auto Names(std::vector<std::u16string> list) {
    return [list](std::uint32_t id, std::u16string& field) -> std::uint32_t {
        field = list[id] + std::u16string(32 - list[id].size(), u'\0') + u"junk";
        return list[id].empty() ? 2 : 0;
    };
}

// Outputs " Headset " (blanks are cut), a failing one, "Speakers", "Лампа";
// inputs "Monitor of Speakers", "Headset", "Лампа". An endpoint id names its
// device; the policy's calls are recorded as "<id> <role>" and answered in turn.
struct Machine {
    explicit Machine(bool available = true, std::vector<std::int32_t> answers = {}) {
        ON_CALL(outputs, OutputDeviceCount()).WillByDefault(::testing::Return(4));
        ON_CALL(outputs, OutputDeviceName(_, _)).WillByDefault(Names({u" Headset ", u"", u"Speakers", u"Лампа"}));
        ON_CALL(endpoints, PolicyAvailable()).WillByDefault(::testing::Return(available));
        ON_CALL(endpoints, InputDeviceCount()).WillByDefault(::testing::Return(3));
        ON_CALL(endpoints, InputDeviceName(_, _)).WillByDefault(Names({u"Monitor of Speakers", u"Headset", u"Лампа"}));
        ON_CALL(endpoints, EndpointId(_, _)).WillByDefault([](WaveDirection direction, std::uint32_t device) {
            return (direction == WaveDirection::Output ? u"out" : u"in") + Decimal(device);
        });
        ON_CALL(endpoints, SetDefaultEndpoint(_, _)).WillByDefault([this, answers](const std::u16string& id, EndpointRole role) {
            calls.push_back(ToUtf8(id) + " " + std::to_string(static_cast<int>(role)));
            return calls.size() <= answers.size() ? answers[calls.size() - 1] : 0;
        });
    }
    ::testing::NiceMock<MockOutputs> outputs;
    ::testing::NiceMock<MockEndpoints> endpoints;
    DefaultEndpoint endpoint{outputs, endpoints};
    Calls calls;
};

TEST(DefaultEndpoint, EachTickedRoleGetsTheEndpointOfTheDeviceWithThatName) {
    using Outcome = EndpointSwitch::Outcome;
    const Calls out0 = {"out0 0", "out0 1", "out0 2"}, in1 = {"in1 0", "in1 1", "in1 2"};
    const std::tuple<const char16_t*, bool, bool, bool, std::vector<std::int32_t>, Calls, Outcome, std::int32_t, bool> cases[] = {
        {u"Headset", true, true, true, {}, {"out0 0", "out0 1", "out0 2", "in1 0", "in1 1", "in1 2"}, Outcome::Switched, 0, false},
        {u"Headset", true, false, true, {}, out0, Outcome::Switched, 0, false},
        {u"Headset", false, true, true, {}, in1, Outcome::Switched, 0, false},
        {u"Лампа", true, true, true, {}, {"out3 0", "out3 1", "out3 2", "in2 0", "in2 1", "in2 2"}, Outcome::Switched, 0, false},
        {u"Speakers", true, true, true, {}, {"out2 0", "out2 1", "out2 2"}, Outcome::Switched, 0, true},
        {u"Speakers", false, true, true, {}, {}, Outcome::Switched, 0, true},
        {u"Gone", true, true, true, {}, {}, Outcome::Failed, DefaultEndpoint::kNoEndpoint, false},
        {u"Headset", true, true, true, {0, kFail}, {"out0 0", "out0 1"}, Outcome::Failed, kFail, false},
        {u"Headset", true, true, true, {0, 0, 0, kFail}, {"out0 0", "out0 1", "out0 2", "in1 0"}, Outcome::Failed, kFail, false},
        {u"Headset", true, true, false, {}, {}, Outcome::NotAvailable, 0, false},
        {u"Headset", false, false, true, {}, {}, Outcome::NotAvailable, 0, false},
    };
    for (const auto& [name, play, record, available, answers, calls, outcome, error, captureUnchanged] : cases) {
        SCOPED_TRACE(ToUtf8(name) + (play ? " play" : "") + (record ? " record" : ""));
        Machine machine(available, answers);
        EndpointSwitch result = machine.endpoint.Switch(name, play, record);
        EXPECT_EQ(machine.calls, calls);
        EXPECT_EQ(result.outcome, outcome);
        EXPECT_EQ(result.error, error);
        EXPECT_EQ(result.captureUnchanged, captureUnchanged);
    }
}

struct SetDeviceWithEndpoints : MainWindowTest {
    Machine machine{true, {0, 0, 0, kFail}};
    MainWindow switching{view, MainWindowServices{registry, settings, system, system, system, system, system, system,
                                                  system, system, tray, system, &machine.endpoint}};
};

TEST_F(SetDeviceWithEndpoints, ARefusalIsToldAndNothingIsClaimed) {
    Rows({u"Speakers", u"Headset"});
    Roles(1, 1);
    switching.SetDevice(u"Speakers");
    EXPECT_EQ(view.label.text, u"Default Soundcard: Speakers (recording default unchanged)");
    trace.Take();
    switching.SetDevice(u"Headset");  // the capture endpoint refuses
    EXPECT_EQ(trace.Take(), "reg set Record; reg set Playback; message Windows refused to make \"Headset\" its "
                            "default sound device (error 0x80004005). | Default device not changed | 03");
    EXPECT_EQ(Get(u"Playback") + Get(u"Record"), "HeadsetHeadset") << "the Sound Mapper values stay written";
    EXPECT_EQ(view.label.text, u"Default Soundcard: Speakers (recording default unchanged)");
    EXPECT_EQ(switching.CurrentDevice(), u"Speakers");
}

// Where a switch reaches the endpoints, the default ones lead back to the
// devices that have them, by id: the menu marks those and "Settings ..." names
// the playback one, whatever the Sound Mapper values say.
TEST_F(SetDeviceWithEndpoints, MarksAndLabelFollowTheDefaultEndpoints) {
    const std::tuple<const char16_t*, const char16_t*, bool, std::string, std::string> cases[] = {
        {u"out2", u"in1", true, "Headset  <default>  (Record), Soundcard 2: Speakers  <default>  (Playback), Soundcard 3: Лампа", "Speakers"},
        {u"out0", u"in2", true, "Headset  <default>  (Playback), Soundcard 2: Speakers, Soundcard 3: Лампа  <default>  (Record)", "Headset"},
        {u"out3", u"in0", true, "Headset, Soundcard 2: Speakers, Soundcard 3: Лампа  <default>  (Playback)", "Лампа"},
        {u"", u"in1", true, "Headset  <default>  (Record), Soundcard 2: Speakers, Soundcard 3: Лампа", ""},
        {u"out2", u"in1", false, "Headset  <default>   (Play + Rec), Soundcard 2: Speakers, Soundcard 3: Лампа", "Headset"},
    };
    Rows({u"Headset", u"Speakers", u"Лампа"});
    Set(u"Playback", u"Headset"), Set(u"Record", u"Headset");
    for (const auto& [render, capture, available, marks, label] : cases) {
        Machine machine(available);
        ON_CALL(machine.endpoints, DefaultEndpointId(WaveDirection::Output)).WillByDefault(::testing::Return(render));
        ON_CALL(machine.endpoints, DefaultEndpointId(WaveDirection::Input)).WillByDefault(::testing::Return(capture));
        MainWindow window{view, MainWindowServices{registry, settings, system, system, system, system, system, system,
                                                   system, system, tray, system, &machine.endpoint}};
        window.CreatePopupMenu();
        EXPECT_EQ(Menu(), "Soundcard 1: " + marks + ", -, Exit") << ToUtf8(render);
        window.OnTrayMenu(u"Settings ...");
        EXPECT_EQ(U8(view.label.text), "Default Soundcard: " + label);
    }
}

TEST_F(MainWindowTest, MixerFallsBackToTheNewerProgram) {
    system.started = 0;
    window.OnTrayMenu(u"Windows audio mixer ...");
    EXPECT_EQ(trace.Take(), "start sndvol32.exe @1; start sndvol.exe @1");
}

}  // namespace
}  // namespace marvolt::fakes
