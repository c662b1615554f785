#include "instance/prev_instance.h"

#include <gtest/gtest.h>

#include "instance/key_sequence.h"
#include "platform/fakes/fake_windows.h"
#include "platform/fakes/simple_fakes.h"
#include "platform/text.h"

namespace marvolt {
namespace {

using Log = std::vector<std::string>;

struct Guard {
    CallLog log;
    FakeInstanceQuery query{&log};
    FakeTopLevelWindows windows{&log};
    FakeAppIdentity identity{&log};
    FakeWindowActivation activation{&log};
    FakeKeystrokes keys{&log};
    FakePendingEvents pending{&log};
    FakeMessageService messages{&log};
    FakeProcessEnd end{&log};
    PrevInstance guard{{query, windows, identity, activation, keys, pending, end}};

    // True when the guard ended the process.
    bool Check(const std::u16string& firstKeys = u"", const std::u16string& secondKeys = u"") {
        try {
            guard.CheckPrevInstance(firstKeys, secondKeys);
        } catch (const ProcessEnded&) {
            return true;
        }
        return false;
    }
};

TEST(PrevInstance, ReturnsChangingNothingWhenAlone) {
    Guard g;
    g.windows.windows[{u"ThunderRT5Form", u"Marvolt Vers. 1.01"}] = 5;  // not the bare title
    g.windows.windows[{u"OtherClass", u"Marvolt"}] = 6;
    EXPECT_FALSE(g.Check(u"x", u"y"));
    EXPECT_EQ(g.log.Entries(), (Log{"query no", "find ThunderRT5Form Marvolt -> 0"}));
    EXPECT_EQ(g.identity.title, u"Marvolt");
}

TEST(PrevInstance, BringsTheEarlierInstanceForwardAndEnds) {
    struct Case {
        const char* name;
        bool running;
        NativeHandle window;
    };
    for (const Case& c : {Case{"query and window", true, 77}, Case{"query only", true, 0},
                          Case{"window only", false, 77}}) {
        SCOPED_TRACE(c.name);
        Guard g;
        g.query.running = c.running;
        if (c.window) g.windows.windows[{u"ThunderRT5Form", u"Marvolt"}] = c.window;
        EXPECT_TRUE(g.Check());
        std::string found = "find ThunderRT5Form Marvolt -> " + std::to_string(c.window);
        std::string target = std::to_string(c.window);
        EXPECT_EQ(g.log.Entries(),
                  (Log{c.running ? "query yes" : "query no", found, found, "title #$#",
                       "show " + target + " 9", "topmost " + target, "activate Marvolt",
                       "notopmost " + target, "end"}));
        EXPECT_EQ(g.identity.title, u"#$#");
        EXPECT_TRUE(g.messages.shown.empty());
    }
}

TEST(PrevInstance, SendsKeysOnlyWhenFirstKeysAreGiven) {
    Guard none;
    none.query.running = true;
    EXPECT_TRUE(none.Check(u"", u"{ENTER}"));
    EXPECT_TRUE(none.keys.sent.empty());
    EXPECT_EQ(none.pending.calls, 0);

    Guard both;
    both.query.running = true;
    EXPECT_TRUE(both.Check(u"abc", u""));
    EXPECT_EQ(both.log.Entries(),
              (Log{"query yes", "find ThunderRT5Form Marvolt -> 0", "find ThunderRT5Form Marvolt -> 0",
                   "title #$#", "show 0 9", "topmost 0", "activate Marvolt", "keys abc", "pending",
                   "keys ", "pending", "notopmost 0", "end"}));
}

TEST(PrevInstance, EndsQuietlyWhenTheEarlierInstanceHasNoWindowLeft) {
    Guard g;
    g.query.running = true;
    g.activation.result = false;
    EXPECT_TRUE(g.Check(u"abc", u"def"));
    EXPECT_EQ(g.log.Entries(),
              (Log{"query yes", "find ThunderRT5Form Marvolt -> 0", "find ThunderRT5Form Marvolt -> 0",
                   "title #$#", "show 0 9", "topmost 0", "activate Marvolt failed", "end"}));
    EXPECT_TRUE(g.messages.shown.empty());
    EXPECT_EQ(g.end.calls, 1);
}

TEST(KeySequence, PlainCharactersAndNamedKeys) {
    using K = KeyStroke::Kind;
    auto ch = [](char16_t c) { return KeyStroke{K::Character, c}; };
    struct Case {
        std::u16string keys;
        std::vector<KeyStroke> strokes;
    };
    for (const Case& c : std::vector<Case>{
             {u"", {}},
             {u"ab", {ch(u'a'), ch(u'b')}},
             {u"a{ENTER}", {ch(u'a'), {K::Enter, 0}}},
             {u"{tab}{Esc}{ESCAPE}", {{K::Tab, 0}, {K::Escape, 0}, {K::Escape, 0}}},
             {u"{{}{}}", {ch(u'{'), ch(u'}')}},
             {u"{F13}", {ch(u'{'), ch(u'F'), ch(u'1'), ch(u'3'), ch(u'}')}},
             {u"x{", {ch(u'x'), ch(u'{')}},
             {u"{}", {ch(u'{'), ch(u'}')}},
             {u"\u00e4~", {ch(u'\u00e4'), ch(u'~')}},
         }) {
        EXPECT_EQ(ParseKeySequence(c.keys), c.strokes) << ToUtf8(c.keys);
    }
}

}  // namespace
}  // namespace marvolt
