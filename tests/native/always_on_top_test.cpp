#include "on_top/always_on_top.h"

#include <gtest/gtest.h>

#include "on_top/pin_pictures.h"
#include "platform/fakes/fake_settings_store.h"
#include "platform/fakes/fake_windows.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/text.h"

namespace marvolt {
namespace {

using Log = std::vector<std::string>;

const char* Name(PinPicture picture) {
    switch (picture) {
        case PinPicture::Disabled: return "idle";
        case PinPicture::MouseMove: return "hover";
        case PinPicture::Enabled: return "pinned";
    }
    return "?";
}

class RecordingPinView : public PinPictureView {
public:
    explicit RecordingPinView(CallLog& log) : log_(log) {}
    void ShowPicture(PinPicture picture) override { log_.Add(std::string("picture ") + Name(picture)); }

private:
    CallLog& log_;
};

class RecordingContainer : public PinContainer {
public:
    explicit RecordingContainer(CallLog& log) : log_(log) {}
    NativeHandle ContainerWindow() override {
        log_.Add("container");
        return handle;
    }
    NativeHandle handle = 42;

private:
    CallLog& log_;
};

struct Pin {
    CallLog log;
    RecordingPinView view{log};
    RecordingContainer container{log};
    FakeTopLevelWindows windows{&log};
    FakeSettingsStore store{&log};
    FakeAppIdentity identity;
    FakeMessageService messages;
    FakeProcessEnd end;
    AppSettings settings{store, identity, messages, end};
    AlwaysOnTop pin{view, container, windows, settings};

    Log Take() {
        Log entries = log.Entries();
        log.Clear();
        return entries;
    }
};

TEST(AlwaysOnTop, MouseAndClicksFollowTheStateTable) {
    Pin p;
    EXPECT_EQ(p.Take(), Log{"picture idle"});
    EXPECT_FALSE(p.pin.GetIsOnTop());

    struct Step {
        const char* event;
        PinPicture after;
        bool onTop;
        Log calls;
    };
    const Step steps[] = {
        {"move", PinPicture::MouseMove, false, {"picture hover"}},
        {"move", PinPicture::MouseMove, false, {}},
        {"leave", PinPicture::Disabled, false, {"picture idle"}},
        {"leave", PinPicture::Disabled, false, {}},
        {"click", PinPicture::Enabled, true,
         {"picture pinned", "container", "save AlwaysOnTop\\OnTop=True", "topmost 42"}},
        {"move", PinPicture::Enabled, true, {}},
        {"leave", PinPicture::Enabled, true, {}},
        {"click", PinPicture::MouseMove, false,
         {"picture hover", "container", "save AlwaysOnTop\\OnTop=False", "notopmost 42"}},
        {"click", PinPicture::Enabled, true,
         {"picture pinned", "container", "save AlwaysOnTop\\OnTop=True", "topmost 42"}},
    };
    int index = 0;
    for (const Step& step : steps) {
        SCOPED_TRACE(testing::Message() << "step " << index++ << " " << step.event);
        PinPicture visible = p.pin.VisiblePicture();
        if (std::string(step.event) == "move") p.pin.OnMouseMoveOverPicture(visible);
        if (std::string(step.event) == "leave") p.pin.OnMouseLeave();
        if (std::string(step.event) == "click") p.pin.OnClickPicture(visible);
        EXPECT_EQ(p.pin.VisiblePicture(), step.after);
        EXPECT_EQ(p.pin.GetIsOnTop(), step.onTop);
        EXPECT_EQ(p.Take(), step.calls);
    }
}

TEST(AlwaysOnTop, MethodsRecordBeforeTheZOrderChangesAndAgainOnRequest) {
    Pin p;
    p.Take();
    p.pin.SetToTop();
    EXPECT_EQ(p.Take(), (Log{"picture pinned", "container", "save AlwaysOnTop\\OnTop=True", "topmost 42"}));
    p.pin.SetToTop(true);
    EXPECT_EQ(p.Take(), (Log{"picture pinned", "container", "save AlwaysOnTop\\OnTop=True", "topmost 42",
                             "save AlwaysOnTop\\OnTop=True"}));
    EXPECT_EQ(p.store.saves.size(), 3u);
    EXPECT_EQ(p.store.saves.back().app, u"Marvolt");

    // Unpinning twice still unpins the window each time; the handle is looked up anew.
    p.container.handle = 43;
    p.pin.SetToNormal(true);
    p.pin.SetToNormal();
    EXPECT_EQ(p.Take(), (Log{"picture hover", "container", "save AlwaysOnTop\\OnTop=False", "notopmost 43",
                             "save AlwaysOnTop\\OnTop=False", "picture hover", "container",
                             "save AlwaysOnTop\\OnTop=False", "notopmost 43"}));
    EXPECT_FALSE(p.pin.GetIsOnTop());
    EXPECT_EQ(p.pin.VisiblePicture(), PinPicture::MouseMove);
    EXPECT_EQ(p.store.Value(u"Marvolt", u"AlwaysOnTop\\", u"OnTop"), u"False");
}

TEST(AlwaysOnTop, LoadSettingsPinsUnlessFalseIsRecorded) {
    struct Case {
        const char16_t* recorded;  // null: nothing recorded
        bool pinned;
    };
    for (const Case& c : {Case{nullptr, true}, Case{u"True", true}, Case{u"False", false},
                          Case{u"", true}, Case{u"maybe", true}, Case{u"0", true}}) {
        SCOPED_TRACE(c.recorded ? ToUtf8(c.recorded) : "nothing");
        Pin p;
        if (c.recorded) p.store.Set(u"Marvolt", u"AlwaysOnTop\\", u"OnTop", c.recorded);
        p.Take();
        p.pin.LoadSettings();
        EXPECT_EQ(p.pin.GetIsOnTop(), c.pinned);
        EXPECT_EQ(p.windows.topmost.at(42), c.pinned);
        EXPECT_EQ(p.store.Value(u"Marvolt", u"AlwaysOnTop\\", u"OnTop"), c.pinned ? u"True" : u"False");
        EXPECT_EQ(p.store.saves.size(), 1u);
    }
}

TEST(PinPictures, SidewaysPinsAreTransparentAroundThePressedPinIsNot) {
    int transparent = 0;
    for (int y = 0; y < kPinPictureHeight; ++y) {
        for (int x = 0; x < kPinPictureWidth; ++x) {
            EXPECT_EQ(PinPixelIndex(PinPicture::Disabled, x, y), PinPixelIndex(PinPicture::MouseMove, x, y));
            EXPECT_FALSE(PinPixelTransparent(PinPicture::Enabled, x, y)) << x << "," << y;
            if (PinPixelTransparent(PinPicture::Disabled, x, y)) ++transparent;
            for (PinPicture picture : {PinPicture::Disabled, PinPicture::Enabled}) {
                // Only the five named colours, or the transparent index.
                int index = PinPixelIndex(picture, x, y);
                EXPECT_TRUE(index <= 4 || (index == kPinTransparentIndex && picture != PinPicture::Enabled))
                    << Name(picture) << " " << x << "," << y << ": " << index;
            }
        }
    }
    // Corners show the background; the pin covers well under half the square.
    for (auto [x, y] : {std::pair{0, 0}, {20, 0}, {0, 19}, {20, 19}}) {
        EXPECT_TRUE(PinPixelTransparent(PinPicture::Disabled, x, y));
    }
    EXPECT_GT(transparent, kPinPictureWidth * kPinPictureHeight / 2);

    // The sunken square: dark grey on top and left, white on bottom and right.
    auto color = [](int x, int y) {
        PinColor c = PinPaletteColor(PinPixelIndex(PinPicture::Enabled, x, y));
        return std::tuple{c.red, c.green, c.blue};
    };
    using Rgb = std::tuple<std::uint8_t, std::uint8_t, std::uint8_t>;
    for (int x = 0; x < kPinPictureWidth; ++x) EXPECT_EQ(color(x, 0), Rgb(132, 132, 132)) << x;
    for (int y = 0; y < kPinPictureHeight; ++y) EXPECT_EQ(color(0, y), Rgb(132, 132, 132)) << y;
    for (int x = 1; x < kPinPictureWidth; ++x) EXPECT_EQ(color(x, 19), Rgb(255, 255, 255)) << x;
    for (int y = 1; y < kPinPictureHeight; ++y) EXPECT_EQ(color(20, y), Rgb(255, 255, 255)) << y;
}

}  // namespace
}  // namespace marvolt
