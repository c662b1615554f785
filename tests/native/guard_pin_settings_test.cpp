// The single-instance guard, the always-on-top pin and the settings store.
#include <gtest/gtest.h>

#include "instance/key_sequence.h"
#include "instance/prev_instance.h"
#include "on_top/always_on_top.h"
#include "on_top/pin_pictures.h"
#include "platform/fakes/fake_registry.h"
#include "platform/fakes/fake_system.h"
#include "platform/registry_settings_store.h"

namespace marvolt::fakes {
namespace {

// Only the settings window of the process that holds the instance mutex is
// brought forward; without it this instance ends all the same.
TEST(PrevInstance, BringsAnEarlierInstanceForwardAndEnds) {
    const std::string find = "find ThunderRT5Form in 12; ";
    const std::tuple<bool, std::map<std::uint32_t, NativeHandle>, std::u16string, std::string> cases[] = {
        {false, {{12, 77}}, u"x", ""},
        {true, {{12, 77}, {13, 88}}, u"", find + "show 77 9; topmost 77 1; activate 77; topmost 77 0; end"},
        {true, {{12, 77}}, u"abc",
         find + "show 77 9; topmost 77 1; activate 77; keys abc; pending; keys {ENTER}; pending; topmost 77 0; end"},
        {true, {{13, 88}}, u"abc", find + "end"},
    };
    for (const auto& [running, windows, keys, steps] : cases) {
        FakeSystem s;
        s.earlierRunning = running, s.earlierProcess = 12, s.windows = windows;
        PrevInstance guard{{s, s, s, s, s, s}};
        if (steps.empty()) guard.CheckPrevInstance(keys, u"{ENTER}");
        else EXPECT_THROW(guard.CheckPrevInstance(keys, u"{ENTER}"), ProcessEnded);
        EXPECT_EQ(s.trace.Take(), steps);
    }
}

TEST(KeySequence, PlainCharactersAndNamedKeys) {
    auto text = [](const std::u16string& keys) {
        std::string out;
        for (const KeyStroke& k : ParseKeySequence(keys))
            out += k.kind == KeyStroke::Kind::Character ? U8(std::u16string(1, k.character)) : "<" + N(int(k.kind)) + ">";
        return out;
    };
    const std::pair<std::u16string, std::string> cases[] = {
        {u"", ""}, {u"a{ENTER}", "a<1>"}, {u"{tab}{Esc}{ESCAPE}", "<2><3><3>"}, {u"{{}{}}", "{}"},
        {u"{F13}", "{F13}"}, {u"x{", "x{"}, {u"{}", "{}"}, {u"\u00e4~", "\u00e4~"},
    };
    for (const auto& [keys, strokes] : cases) EXPECT_EQ(text(keys), strokes);
}

struct Pin : PinPictureView, PinContainer {
    FakeSystem s;
    NativeHandle handle = 42;
    AppSettings settings{s, s, s, s};
    AlwaysOnTop pin{*this, *this, s, settings};
    void ShowPicture(PinPicture p) override { s.trace("picture " + N(int(p))); }
    NativeHandle ContainerWindow() override { return handle; }
};

TEST(AlwaysOnTop, MouseAndClicksFollowTheStateTable) {
    Pin p;
    EXPECT_EQ(p.s.trace.Take(), "picture 0");
    const std::string pin = "picture 2; save AlwaysOnTop\\OnTop=True; topmost 42 1";
    const std::string unpin = "picture 1; save AlwaysOnTop\\OnTop=False; topmost 42 0";
    const std::tuple<char, std::string, bool> steps[] = {
        {'m', "picture 1", false}, {'m', "", false}, {'l', "picture 0", false}, {'l', "", false},
        {'c', pin, true},          {'m', "", true},  {'l', "", true},          {'c', unpin, false},
        {'l', "picture 0", false}, {'c', pin, true},
    };
    for (const auto& [event, trace, onTop] : steps) {
        PinPicture visible = p.pin.VisiblePicture();
        if (event == 'm') p.pin.OnMouseMoveOverPicture(visible);
        if (event == 'l') p.pin.OnMouseLeave();
        if (event == 'c') p.pin.OnClickPicture(visible);
        EXPECT_EQ(p.s.trace.Take(), trace);
        EXPECT_EQ(p.pin.GetIsOnTop(), onTop);
    }
    // The methods record before the z-order changes, and again on request; the
    // window is looked up at each use.
    p.handle = 43;
    p.pin.SetToNormal(true);
    p.pin.SetToTop(true);
    EXPECT_EQ(p.s.trace.Take(),
              "picture 1; save AlwaysOnTop\\OnTop=False; topmost 43 0; save AlwaysOnTop\\OnTop=False; "
              "picture 2; save AlwaysOnTop\\OnTop=True; topmost 43 1; save AlwaysOnTop\\OnTop=True");
}

TEST(AlwaysOnTop, LoadSettingsPinsUnlessFalseIsRecorded) {
    for (const char16_t* recorded : {u"", u"True", u"False", u"maybe", u"0"}) {
        Pin p;
        p.s.stored[u"Marvolt/AlwaysOnTop\\OnTop"] = recorded;
        p.s.trace.Take();
        p.pin.LoadSettings();
        bool pinned = std::u16string(recorded) != u"False";
        EXPECT_EQ(p.s.trace.Take(), pinned ? "picture 2; save AlwaysOnTop\\OnTop=True; topmost 42 1"
                                           : "picture 1; save AlwaysOnTop\\OnTop=False; topmost 42 0");
    }
}

TEST(PinPictures, SidewaysPinsAreTransparentAroundThePressedPinIsNot) {
    int transparent = 0;
    for (int y = 0; y < kPinPictureHeight; ++y)
        for (int x = 0; x < kPinPictureWidth; ++x) {
            EXPECT_EQ(PinPixelIndex(PinPicture::Disabled, x, y), PinPixelIndex(PinPicture::MouseMove, x, y));
            EXPECT_FALSE(PinPixelTransparent(PinPicture::Enabled, x, y));
            EXPECT_LE(PinPixelIndex(PinPicture::Enabled, x, y), 4);
            transparent += PinPixelTransparent(PinPicture::Disabled, x, y);
            int index = PinPixelIndex(PinPicture::Disabled, x, y);
            EXPECT_TRUE(index <= 4 || index == kPinTransparentIndex);
            // The pressed pin's sunken square: dark grey top and left, white bottom and right.
            PinColor c = PinPaletteColor(PinPixelIndex(PinPicture::Enabled, x, y));
            int grey = x == 0 || y == 0 ? 132 : x == 20 || y == 19 ? 255 : -1;
            if (grey > 0) EXPECT_EQ(N(c.red) + N(c.green) + N(c.blue), N(grey) + N(grey) + N(grey));
        }
    for (auto [x, y] : {std::pair{0, 0}, {20, 0}, {0, 19}, {20, 19}})
        EXPECT_TRUE(PinPixelTransparent(PinPicture::MouseMove, x, y));
    EXPECT_GT(transparent, kPinPictureWidth * kPinPictureHeight / 2);
    // Outside the picture, and outside the palette, reads as colour 0.
    for (auto [x, y] : {std::pair{-1, 3}, {21, 3}, {3, -1}, {3, 20}}) {
        EXPECT_EQ(PinPixelIndex(PinPicture::Enabled, x, y), 0);
        EXPECT_FALSE(PinPixelTransparent(PinPicture::Disabled, x, y));
    }
    for (int index : {-1, 16}) EXPECT_EQ(PinPaletteColor(index).red, PinPaletteColor(0).red);
    EXPECT_NE(PinPaletteColor(0).red, PinPaletteColor(1).red);
}

TEST(AppSettings, SectionsGetOneBackslashAndEmptyTextsReadAsTheDefault) {
    FakeSystem s;
    AppSettings settings{s, s, s, s};
    const std::tuple<const char16_t*, const char16_t*, std::string> cases[] = {
        {u"AlwaysOnTop", u"x", "x"}, {u"Settings\\", u"0", "0"}, {u"Outer\\Inner", u" ", " "},
        {u"", u"", "fb"},            {u"Twice\\\\", u"y", "y"},
    };
    for (const auto& [section, stored, read] : cases) {
        settings.SaveAppSetting(section, u"Key", stored);
        EXPECT_EQ(U8(settings.GetAppSetting(section, u"Key", u"fb")), read);
    }
    EXPECT_EQ(s.trace.Take(), "save AlwaysOnTop\\Key=x; save Settings\\Key=0; save Outer\\Inner\\Key= ; save Key=; "
                              "save Twice\\\\Key=y");
    EXPECT_EQ(U8(settings.GetAppSetting(u"Absent", u"Key", u"fb")), "fb");
    s.title = u" Other ";  // the title is read on every call
    settings.SaveAppSetting(u"S", u"K", u"v");
    EXPECT_EQ(s.stored[u" Other /S\\K"], u"v");
    const std::string told = "message Der Programm-Name wurde nicht festgelegt\r(Wird f\u00fcr Registry etc. "
                             "ben\u00f6tigt)\rBitte die Kalvon.Initialize - Funktion aufrufen! |  | 00; end";
    for (const char16_t* blank : {u"", u"   "}) {
        s.title = blank;
        EXPECT_THROW(settings.GetAppSetting(u"S", u"K", u""), ProcessEnded);
        EXPECT_THROW(settings.SaveAppSetting(u"S", u"K", u"w"), ProcessEnded);
        EXPECT_EQ(s.trace.Take(), (blank[0] ? "" : "save S\\K=v; ") + told + "; " + told);
    }
}

TEST(RegistrySettingsStore, KeepsEachSectionAsAKeyWhereEarlierReleasesDid) {
    const std::u16string app = u"Software\\VB and VBA Program Settings\\Marvolt";
    FakeRegistry registry;
    FakeAnsiCodePage codePage;
    RegistrySettingsStore store{registry, codePage};
    for (const char16_t* section : {u"Settings\\", u"Outer\\Inner", u""}) {
        store.Save(u"Marvolt", section, u"Device", u"Lautsprecher \u00e4");
        std::u16string key = app + u"\\" + section;
        if (key.back() == u'\\') key.pop_back();
        EXPECT_EQ(registry.GetRaw(kCurrentUser, key, u"Device").bytes.size(), 16u) << U8(section);
        EXPECT_EQ(store.Get(u"Marvolt", section, u"Device", u"fb"), u"Lautsprecher \u00e4");
    }
    registry.SetString(kCurrentUser, app + u"\\S", u"Empty", u"");
    registry.SetDword(kCurrentUser, app + u"\\S", u"Number", 1);
    registry.SetRaw(kCurrentUser, app + u"\\S", u"Expand", kRegExpandSz, {'x', 0});
    std::string read;
    for (const char16_t* name : {u"Empty", u"Absent", u"Number", u"Expand"}) read += U8(store.Get(u"Marvolt", u"S", name, u"fb")) + ",";
    EXPECT_EQ(read + U8(store.Get(u"Unknown", u"S", u"Empty", u"fb")), ",fb,fb,fb,fb");
    EXPECT_FALSE(registry.HasKey(kCurrentUser, u"Software\\VB and VBA Program Settings\\Unknown"));
    EXPECT_EQ(registry.OpenHandleCount(), 0);
}

}  // namespace
}  // namespace marvolt::fakes
