#pragma once
// Tests of the Registry module written once against any RegistryApi: the native
// tests run them on the in-memory registry, the Win32 tests on the system's, so
// both must agree. An environment type supplies:
//   RegistryApi& Api();  AnsiCodePage& CodePage();
//   std::function<void()>& Change();  the change of a ChangingApi that Api() is
//   std::u16string Base();      a key path below HKEY_CURRENT_USER, not yet there
//   std::u16string TopLevel();  a key name directly below HKEY_CURRENT_USER, not yet there
//   void ExpectAllKeysClosed(); checked after every test
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry_api.h"
#include "platform/text.h"
#include "registry/registry.h"

namespace marvolt {
namespace contract {

using Bytes = std::vector<std::uint8_t>;

inline Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A text that is not one repeated letter, so that a shifted or truncated read shows.
inline std::string Pattern(size_t length) {
    std::string text(length, 'a');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return text;
}

// A registry that runs `change` once, right after the next query of a value's
// size: the value changes between the two reads.
template <class Api>
class ChangingApi : public Api {
  public:
    long QueryValue(RegKey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                    std::uint32_t* size) override {
        long result = Api::QueryValue(key, name, type, data, size);
        if (!data && change) std::exchange(change, nullptr)();
        return result;
    }
    std::function<void()> change;
};

template <class Env>
class RegistryContract : public ::testing::Test {
  protected:
    RegistryContract() : reg(env.Api(), env.CodePage()), base(env.Base()) {}
    void TearDown() override { env.ExpectAllKeysClosed(); }

    std::u16string Full(const std::u16string& tail) { return u"HKEY_CURRENT_USER\\" + base + tail; }

    // The value's type and bytes through the API alone; type kRegNone when absent.
    std::pair<std::uint32_t, Bytes> Raw(const std::u16string& path, const std::u16string& name) {
        RegKey key = 0;
        std::uint32_t type = kRegNone, size = 0;
        Bytes bytes;
        if (env.Api().OpenKey(kCurrentUser, path, &key) != kRegOk) return {kRegNone, bytes};
        if (env.Api().QueryValue(key, name, &type, nullptr, &size) == kRegOk) {
            bytes.resize(size);
            env.Api().QueryValue(key, name, &type, bytes.data(), &size);
        }
        env.Api().CloseKey(key);
        return {type, bytes};
    }

    bool KeyExists(const std::u16string& path) {
        RegKey key = 0;
        if (env.Api().OpenKey(kCurrentUser, path, &key) != kRegOk) return false;
        return env.Api().CloseKey(key) == kRegOk;
    }

    void Put(const std::u16string& path, const std::u16string& name, std::uint32_t type,
             Bytes bytes) {
        // The system's ANSI call peeks one byte past unterminated text and keeps
        // a NUL it finds there: a byte that is not NUL keeps the data as given.
        bytes.push_back('x');
        RegKey key = 0;
        ASSERT_EQ(env.Api().CreateKey(kCurrentUser, path, &key), kRegOk);
        EXPECT_EQ(env.Api().SetValue(key, name, type, bytes.data(),
                                     static_cast<std::uint32_t>(bytes.size() - 1)),
                  kRegOk);
        env.Api().CloseKey(key);
    }

    Env env;
    Registry reg;
    std::u16string base;
};

TYPED_TEST_SUITE_P(RegistryContract);

// Texts go in as ANSI with one NUL, numbers as four little-endian bytes (a text
// of the same name replaced, type and all); every missing level is created; an
// unknown root writes nothing.
TYPED_TEST_P(RegistryContract, WritesStoreTheSystemsFormat) {
    const std::u16string key = this->base + u"\\Multimedia\\Sound Mapper";
    for (const std::u16string text : {u"Speakers 2", u"", u"Lautsprecher \u00e4 (USB)"}) {
        this->reg.WriteRegString(u"HKEY_CURRENT_USER", key, u"Playback", text);
        const std::string ansi = this->env.CodePage().ToAnsi(text);
        EXPECT_EQ(this->Raw(key, u"Playback"), std::make_pair(kRegSz, BytesOf(ansi + '\0')));
        EXPECT_EQ(this->reg.ReadRegPath(this->Full(u"\\Multimedia\\Sound Mapper\\Playback")),
                  this->env.CodePage().FromAnsi(ansi));
    }
    const std::pair<std::int32_t, Bytes> numbers[] = {{-32, {0xe0, 0xff, 0xff, 0xff}},
                                                      {0x12345678, {0x78, 0x56, 0x34, 0x12}}};
    this->reg.WriteRegString(u"current_user", key, u"PreferredOnly", u"text");
    for (const auto& [number, bytes] : numbers) {
        this->reg.WriteRegDword(u"current_user", key, u"PreferredOnly", number);
        EXPECT_EQ(this->Raw(key, u"PreferredOnly"), std::make_pair(kRegDword, bytes));
        EXPECT_EQ(this->reg.ReadRegDword(u"current_user", key, u"PreferredOnly", 99), number);
    }
    for (const char16_t* root : {u"HKCU", u"", u"performance_data", u" current_user"}) {
        this->reg.WriteRegString(root, this->base + u"\\Refused", u"V", u"x");
        this->reg.WriteRegDword(root, this->base + u"\\Refused", u"D", 1);
        EXPECT_FALSE(this->KeyExists(this->base + u"\\Refused")) << ToUtf8(root);
    }
}

TYPED_TEST_P(RegistryContract, ReadRegDwordKeepsTheDefaultWhereTheDataDoNotReach) {
    const std::u16string key = this->base + u"\\Sound Mapper", missing = this->base + u"\\M\\N";
    this->Put(key, u"One", kRegDword, {1, 0, 0, 0});
    this->Put(key, u"TwoBytes", kRegBinary, {0x34, 0x12});
    this->Put(key, u"NoBytes", kRegBinary, {});
    this->Put(key, u"FiveBytes", kRegBinary, {1, 2, 3, 4, 5});
    struct Case {
        const std::u16string& path;
        const char16_t* name;
        std::int32_t fallback, expected;
    } const cases[] = {
        {key, u"One", -32, 1},
        {missing, u"One", -32, -32},
        {key, u"TwoBytes", -32, static_cast<std::int32_t>(0xffff1234u)},
        {key, u"NoBytes", -32, -32},
        {key, u"FiveBytes", -32, -32},
    };
    for (const Case& c : cases)
        EXPECT_EQ(this->reg.ReadRegDword(u"HKEY_CURRENT_USER", c.path, c.name, c.fallback),
                  c.expected)
            << ToUtf8(c.name) << " default " << c.fallback;
    EXPECT_EQ(this->reg.RegValueType(u"current_user", key, u"TwoBytes"), kRegBinary);
    EXPECT_EQ(this->reg.RegValueType(u"current_user", key, u"Absent"), std::nullopt);
    EXPECT_FALSE(this->KeyExists(this->base + u"\\M"));
}

TYPED_TEST_P(RegistryContract, DeleteRegValueRemovesOnlyThatValueAndCreatesNothing) {
    const std::u16string key = this->base + u"\\Run";
    this->reg.WriteRegString(u"current_user", key, u"Marvolt", u"C:\\Marvolt.exe");
    this->reg.WriteRegString(u"current_user", key, u"Other", u"keep");
    this->reg.DeleteRegValue(u"current_user", key, u"Marvolt");
    this->reg.DeleteRegValue(u"current_user", key, u"Marvolt");
    EXPECT_EQ(std::make_pair(this->Raw(key, u"Marvolt").first, this->Raw(key, u"Other").first),
              std::make_pair(kRegNone, kRegSz));
    this->reg.DeleteRegValue(u"current_user", this->base + u"\\M\\N", u"Other");
    EXPECT_FALSE(this->KeyExists(this->base + u"\\M"));
}

// Subkeys are listed by the names they were made with; a deleted one goes with
// its values, and one that has subkeys stays.
TYPED_TEST_P(RegistryContract, SubKeysAreListedAndDeletedByName) {
    const std::u16string key = this->base + u"\\Profiles";
    for (const char16_t* name : {u"Desk", u"Game \u041d", u"Held\\Inner"})
        this->reg.WriteRegString(u"current_user", key + u"\\" + name, u"Playback", u"Speakers");
    this->reg.DeleteRegKey(kCurrentUser, key, u"DESK");
    this->reg.DeleteRegKey(kCurrentUser, key, u"Held");
    std::vector<std::u16string> names = this->reg.SubKeyNames(kCurrentUser, key);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Game \u041d", u"Held"}));
    EXPECT_EQ(this->Raw(key + u"\\Desk", u"Playback").first, kRegNone);
    EXPECT_TRUE(this->reg.SubKeyNames(kCurrentUser, key + u"\\Gone").empty());
}

TYPED_TEST_P(RegistryContract, ReadRegPathSplitsRootKeyAndValueName) {
    const std::u16string key = this->base + u"\\Sound Mapper", top = this->env.TopLevel();
    this->reg.WriteRegString(u"current_user", key, u"Record", u"Headset");
    this->reg.WriteRegString(u"current_user", key, u"", u"Unnamed");
    this->reg.WriteRegString(u"current_user", top, u"", u"Top");
    const std::u16string record = this->Full(u"\\Sound Mapper\\Record"), tail = record.substr(17);
    struct Case {
        std::u16string path, expected;
    } const cases[] = {
        {record, u"Headset"},
        {record + u"\\", u"Headset"},
        {u"hkey_current_user" + tail, u"Headset"},
        // Only one trailing backslash goes: the next one ends the key path.
        {this->Full(u"\\Sound Mapper\\\\"), u"Unnamed"},
        {u"current_user" + tail, u""},
        {u"HKEY_CURRENT_USER", u""},
        {u"", u""},
        // Root and one key name: that key's unnamed default value.
        {u"HKEY_CURRENT_USER\\" + top, u"Top"},
        {u" HKEY_CURRENT_USER\\" + top + u"\\ ", u"Top"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(this->reg.ReadRegPath(c.path), c.expected) << ToUtf8(c.path);
}

// Text reads take REG_SZ only, by key and name or by full path, stop at the
// first NUL and read long values whole.
TYPED_TEST_P(RegistryContract, TextReadsTakeRegSzUpToTheFirstNul) {
    const std::string longOdd = Pattern((size_t{1} << 20) + 1);
    struct Case {
        const char16_t* name;
        std::uint32_t type;
        Bytes bytes;
        std::u16string expected;  // with the default "fb"
    } const cases[] = {
        {u"Plain", kRegSz, BytesOf({'S', 'p', 0}), u"Sp"},
        {u"EmbeddedNul", kRegSz, BytesOf(std::string("ab\0cd\0", 6)), u"ab"},
        {u"NoNulOdd", kRegSz, BytesOf("abcde"), u"abcde"},
        {u"LongNoNulOdd", kRegSz, BytesOf(longOdd), FromUtf8(longOdd)},
        {u"JustNul", kRegSz, {0}, u""},
        {u"NoBytes", kRegSz, {}, u""},
        {u"Expand", kRegExpandSz, BytesOf({'%', 'T', '%', 0}), u"fb"},
        {u"Number", kRegDword, {1, 0, 0, 0}, u"fb"},
        {u"Binary", kRegBinary, BytesOf("ab"), u"fb"},
    };
    const std::u16string key = this->base + u"\\Types";
    for (const Case& c : cases) {
        this->Put(key, c.name, c.type, c.bytes);
        EXPECT_TRUE(this->reg.QueryRegValue(kCurrentUser, key, c.name, u"fb") == c.expected)
            << ToUtf8(c.name);
    }
    for (size_t length : {size_t{32767}, size_t{40000}, size_t{3} << 20}) {
        this->reg.WriteRegString(u"current_user", key, u"Long", FromUtf8(Pattern(length)));
        EXPECT_TRUE(this->reg.ReadRegPath(this->Full(u"\\Types\\Long")) ==
                    FromUtf8(Pattern(length)))
            << length;
    }
    EXPECT_EQ(this->reg.ReadRegPath(this->Full(u"\\Types\\Expand")), u"");
    EXPECT_EQ(this->reg.QueryRegValue(kCurrentUser, key, u"Absent", u"fb"), u"fb");
    EXPECT_EQ(this->reg.QueryRegValue(kCurrentUser, this->base + u"\\M", u"", u"fb"), u"fb");
    EXPECT_EQ(this->reg.QueryRegValue(0, key, u"Plain", u"fb"), u"fb");
    EXPECT_FALSE(this->KeyExists(this->base + u"\\M"));
}

// A value may change between the size query and the read: the read stays
// within its buffer and hands back no bytes that were never text.
TYPED_TEST_P(RegistryContract, AValueThatChangesBetweenTheTwoReadsReadsAsTheDefault) {
    const std::u16string key = this->base + u"\\Sound Mapper";
    const std::pair<Bytes, const char16_t*> cases[] = {
        {BytesOf(std::string("Speakers (USB Audio)", 21)), u"fb"},  // grows
        {{'H', 'i'}, u"Hi"},                                        // shrinks, without its NUL
        {{}, u"fb"},                                                // becomes a number
    };
    for (const auto& [bytes, expected] : cases) {
        this->Put(key, u"Playback", kRegSz, BytesOf(std::string("Speakers", 9)));
        this->env.Change() = [&, bytes = bytes] {
            this->Put(key, u"Playback", bytes.empty() ? kRegDword : kRegSz,
                      bytes.empty() ? Bytes(4, 'A') : bytes);
        };
        EXPECT_EQ(ToUtf8(this->reg.QueryRegValue(kCurrentUser, key, u"Playback", u"fb")),
                  ToUtf8(expected));
        EXPECT_FALSE(this->env.Change());
    }
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, AValueThatChangesBetweenTheTwoReadsReadsAsTheDefault,
                            WritesStoreTheSystemsFormat,
                            ReadRegDwordKeepsTheDefaultWhereTheDataDoNotReach,
                            DeleteRegValueRemovesOnlyThatValueAndCreatesNothing,
                            SubKeysAreListedAndDeletedByName, ReadRegPathSplitsRootKeyAndValueName,
                            TextReadsTakeRegSzUpToTheFirstNul);

}  // namespace contract
}  // namespace marvolt
