#pragma once
// Tests of the Registry module written once against any RegistryApi: the native
// tests run them on the in-memory registry, the Win32 tests on the system's, so
// both must agree. An environment type supplies:
//   RegistryApi& Api();  AnsiCodePage& CodePage();
//   std::u16string Base();      a key path below HKEY_CURRENT_USER, not yet there
//   std::u16string TopLevel();  a key name directly below HKEY_CURRENT_USER, not yet there
//   void ExpectAllKeysClosed(); checked after every test
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/registry_api.h"
#include "platform/text.h"
#include "registry/registry.h"

namespace marvolt {
namespace contract {

using Bytes = std::vector<std::uint8_t>;

struct RawValue {
    bool found = false;
    std::uint32_t type = 0;
    Bytes bytes;
};

inline Bytes BytesOf(const std::string& text) { return Bytes(text.begin(), text.end()); }

// A text of `length` characters that is not one repeated letter, so that a
// shifted or truncated read shows.
inline std::string Pattern(size_t length) {
    std::string text(length, 'a');
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>('a' + (i * 7 + i / 26) % 26);
    return text;
}

template <class Env>
class RegistryContract : public ::testing::Test {
protected:
    RegistryContract() : registry(env.Api(), env.CodePage()), base(env.Base()) {}
    void TearDown() override { env.ExpectAllKeysClosed(); }

    // The full path text of `tail` below the test's base key.
    std::u16string Full(const std::u16string& tail) {
        return u"HKEY_CURRENT_USER\\" + base + tail;
    }

    // Raw access through the API alone, independent of the Registry module.
    RawValue Raw(const std::u16string& path, const std::u16string& name) {
        RawValue raw;
        RegKey key = 0;
        if (env.Api().OpenKey(kCurrentUser, path, &key) != kRegOk) return raw;
        std::uint32_t size = 0;
        if (env.Api().QueryValue(key, name, &raw.type, nullptr, &size) == kRegOk) {
            raw.bytes.resize(size);
            raw.found =
                env.Api().QueryValue(key, name, &raw.type, raw.bytes.data(), &size) == kRegOk;
            raw.bytes.resize(size);
        }
        env.Api().CloseKey(key);
        return raw;
    }

    bool KeyExists(const std::u16string& path) {
        RegKey key = 0;
        if (env.Api().OpenKey(kCurrentUser, path, &key) != kRegOk) return false;
        env.Api().CloseKey(key);
        return true;
    }

    void Put(const std::u16string& path, const std::u16string& name, std::uint32_t type,
             const Bytes& bytes) {
        // The system's ANSI call peeks one byte past unterminated text and keeps
        // a NUL it finds there: a byte that is not NUL keeps the data as given.
        Bytes padded = bytes;
        padded.push_back('x');
        RegKey key = 0;
        ASSERT_EQ(env.Api().CreateKey(kCurrentUser, path, &key), kRegOk);
        EXPECT_EQ(env.Api().SetValue(key, name, type, padded.data(),
                                     static_cast<std::uint32_t>(bytes.size())),
                  kRegOk);
        env.Api().CloseKey(key);
    }

    Env env;
    Registry registry;
    std::u16string base;
};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, WriteRegStringStoresAnsiTextWithOneNulAndCreatesAllLevels) {
    const std::u16string key = this->base + u"\\Multimedia\\Sound Mapper";
    const std::u16string texts[] = {u"Speakers 2", u"", u"Lautsprecher \u00e4 (USB)"};
    for (const std::u16string& text : texts) {
        this->registry.WriteRegString(u"HKEY_CURRENT_USER", key, u"Playback", text);
        RawValue raw = this->Raw(key, u"Playback");
        std::string ansi = this->env.CodePage().ToAnsi(text);
        ASSERT_TRUE(raw.found) << ToUtf8(text);
        EXPECT_EQ(raw.type, kRegSz);
        EXPECT_EQ(raw.bytes, BytesOf(ansi + '\0')) << ToUtf8(text);
        EXPECT_EQ(this->registry.ReadRegPath(this->Full(u"\\Multimedia\\Sound Mapper\\Playback")),
                  this->env.CodePage().FromAnsi(ansi));
    }
    EXPECT_TRUE(this->KeyExists(this->base + u"\\Multimedia"));

    // Short and long root names in any letter case; anything else writes nothing.
    this->registry.WriteRegString(u"Current_User", this->base + u"\\Short", u"V", u"s");
    this->registry.WriteRegString(u"hkey_CURRENT_user", this->base + u"\\Long", u"V", u"l");
    EXPECT_EQ(this->Raw(this->base + u"\\Short", u"V").bytes, BytesOf(std::string("s", 2)));
    EXPECT_EQ(this->Raw(this->base + u"\\Long", u"V").bytes, BytesOf(std::string("l", 2)));
    for (const char16_t* root : {u"HKCU", u"", u"performance_data", u" current_user"}) {
        this->registry.WriteRegString(root, this->base + u"\\Refused", u"V", u"x");
        this->registry.WriteRegDword(root, this->base + u"\\Refused", u"D", 1);
        EXPECT_FALSE(this->KeyExists(this->base + u"\\Refused")) << ToUtf8(root);
    }
}

TYPED_TEST_P(RegistryContract, WriteRegDwordStoresFourLittleEndianBytes) {
    struct Case {
        std::int32_t number;
        Bytes bytes;
    };
    const Case cases[] = {
        {3, {0x03, 0x00, 0x00, 0x00}},
        {-32, {0xe0, 0xff, 0xff, 0xff}},
        {0x12345678, {0x78, 0x56, 0x34, 0x12}},
        {INT32_MIN, {0x00, 0x00, 0x00, 0x80}},
    };
    const std::u16string key = this->base + u"\\Numbers";
    // A text value of the same name is replaced, type and all.
    this->registry.WriteRegString(u"current_user", key, u"PreferredOnly", u"text");
    for (const Case& c : cases) {
        this->registry.WriteRegDword(u"current_user", key, u"PreferredOnly", c.number);
        RawValue raw = this->Raw(key, u"PreferredOnly");
        EXPECT_EQ(raw.type, kRegDword) << c.number;
        EXPECT_EQ(raw.bytes, c.bytes) << c.number;
        EXPECT_EQ(this->registry.ReadRegDword(u"current_user", key, u"PreferredOnly", 99),
                  c.number);
    }
}

TYPED_TEST_P(RegistryContract, ReadRegDwordKeepsTheDefaultWhereTheDataDoNotReach) {
    const std::u16string key = this->base + u"\\Sound Mapper";
    this->Put(key, u"One", kRegDword, {1, 0, 0, 0});
    this->Put(key, u"TwoBytes", kRegBinary, {0x34, 0x12});
    this->Put(key, u"NoBytes", kRegBinary, {});
    this->Put(key, u"FiveBytes", kRegBinary, {1, 2, 3, 4, 5});
    struct Case {
        const char16_t* path;
        const char16_t* name;
        std::int32_t fallback;
        std::int32_t expected;
    };
    const std::u16string missingKey = this->base + u"\\Missing\\Deeper";
    const Case cases[] = {
        {key.c_str(), u"One", -32, 1},
        {key.c_str(), u"ONE", -32, 1},  // value names ignore letter case
        {key.c_str(), u"Absent", -32, -32},
        {missingKey.c_str(), u"One", -32, -32},
        {key.c_str(), u"TwoBytes", -32, static_cast<std::int32_t>(0xffff1234u)},
        {key.c_str(), u"TwoBytes", 0x55667788, 0x55661234},
        {key.c_str(), u"NoBytes", -32, -32},
        {key.c_str(), u"FiveBytes", -32, -32},
        {key.c_str(), u"FiveBytes", 7, 7},
    };
    for (const Case& c : cases)
        EXPECT_EQ(this->registry.ReadRegDword(u"HKEY_CURRENT_USER", c.path, c.name, c.fallback),
                  c.expected)
            << ToUtf8(c.name) << " default " << c.fallback;
    EXPECT_EQ(this->registry.ReadRegDword(u"HKCU", key, u"One", -32), -32);
    EXPECT_FALSE(this->KeyExists(this->base + u"\\Missing"));
}

TYPED_TEST_P(RegistryContract, DeleteRegValueRemovesOnlyThatValueAndCreatesNothing) {
    const std::u16string key = this->base + u"\\Run";
    this->registry.WriteRegString(u"HKEY_CURRENT_USER", key, u"Marvolt", u"C:\\Marvolt.exe");
    this->registry.WriteRegString(u"HKEY_CURRENT_USER", key, u"Other", u"keep");

    this->registry.DeleteRegValue(u"HKCU", key, u"Marvolt");
    EXPECT_TRUE(this->Raw(key, u"Marvolt").found);

    this->registry.DeleteRegValue(u"current_user", key, u"Marvolt");
    EXPECT_FALSE(this->Raw(key, u"Marvolt").found);
    EXPECT_TRUE(this->Raw(key, u"Other").found);
    this->registry.DeleteRegValue(u"current_user", key, u"Marvolt");  // already gone
    EXPECT_TRUE(this->Raw(key, u"Other").found);

    this->registry.DeleteRegValue(u"current_user", this->base + u"\\Missing\\Deeper", u"Other");
    EXPECT_FALSE(this->KeyExists(this->base + u"\\Missing"));
}

TYPED_TEST_P(RegistryContract, ReadRegPathSplitsRootKeyAndValueName) {
    const std::u16string key = this->base + u"\\Sound Mapper";
    this->registry.WriteRegString(u"current_user", key, u"Record", u"Headset");
    this->registry.WriteRegString(u"current_user", key, u"", u"Unnamed");
    const std::u16string top = this->env.TopLevel();
    this->registry.WriteRegString(u"current_user", top, u"", u"Top");

    const std::u16string record = this->Full(u"\\Sound Mapper\\Record");
    const std::u16string lowerRoot = u"hkey_current_user" + record.substr(17);
    const std::u16string shortRoot = u"current_user" + record.substr(17);
    struct Case {
        std::u16string path;
        std::u16string expected;
    };
    const Case cases[] = {
        {record, u"Headset"},
        {u"  " + record + u"  ", u"Headset"},
        {record + u"\\", u"Headset"},
        {lowerRoot, u"Headset"},
        {this->Full(u"\\SOUND MAPPER\\record"), u"Headset"},
        // Only one trailing backslash goes: the next one ends the key path.
        {this->Full(u"\\Sound Mapper\\\\"), u"Unnamed"},
        {record + u"\\\\", u""},
        {u"\t" + record, u""},  // only spaces are blanks
        {shortRoot, u""},
        {u"HKCU" + record.substr(17), u""},
        {u"HKEY_CURRENT_USER", u""},
        {u"HKEY_CURRENT_USER\\", u""},
        {u"   ", u""},
        {u"", u""},
        // Root and one key name: that key's unnamed default value.
        {u"HKEY_CURRENT_USER\\" + top, u"Top"},
        {u" HKEY_CURRENT_USER\\" + top + u"\\ ", u"Top"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(this->registry.ReadRegPath(c.path), c.expected) << ToUtf8(c.path);
}

TYPED_TEST_P(RegistryContract, TextReadsAcceptRegSzOnlyAndStopAtTheFirstNul) {
    struct Case {
        const char16_t* name;
        std::uint32_t type;
        Bytes bytes;
        std::u16string expected;  // with the default "fb"
    };
    const Case cases[] = {
        {u"Plain", kRegSz, BytesOf(std::string("Speakers\0", 9)), u"Speakers"},
        {u"EmbeddedNul", kRegSz, BytesOf(std::string("ab\0cd\0", 6)), u"ab"},
        {u"NoNulOdd", kRegSz, BytesOf("abcde"), u"abcde"},
        {u"NoNulEven", kRegSz, BytesOf("abcd"), u"abcd"},
        {u"JustNul", kRegSz, {0}, u""},
        {u"NoBytes", kRegSz, {}, u""},
        {u"Expand", kRegExpandSz, BytesOf(std::string("%TEMP%\0", 7)), u"fb"},
        {u"Number", kRegDword, {1, 0, 0, 0}, u"fb"},
        {u"Binary", kRegBinary, BytesOf("ab"), u"fb"},
    };
    const std::u16string key = this->base + u"\\Types";
    for (const Case& c : cases) this->Put(key, c.name, c.type, c.bytes);
    for (const Case& c : cases) {
        EXPECT_EQ(this->registry.QueryRegValue(kCurrentUser, key, c.name, u"fb"), c.expected)
            << ToUtf8(c.name);
        EXPECT_EQ(this->registry.ReadRegPath(this->Full(u"\\Types\\") + c.name),
                  c.expected == u"fb" ? u"" : c.expected)
            << ToUtf8(c.name);
    }
    EXPECT_EQ(this->registry.QueryRegValue(kCurrentUser, key, u"Absent", u"fb"), u"fb");
    EXPECT_EQ(this->registry.QueryRegValue(kCurrentUser, this->base + u"\\Missing", u"", u"fb"),
              u"fb");
    EXPECT_EQ(this->registry.QueryRegValue(0, key, u"Plain", u"fb"), u"fb");
    EXPECT_FALSE(this->KeyExists(this->base + u"\\Missing"));
}

TYPED_TEST_P(RegistryContract, LongTextValuesReadWhole) {
    const std::u16string key = this->base + u"\\Long";
    for (size_t length : {size_t{32767}, size_t{40000}, size_t{3} << 20}) {
        const std::string text = Pattern(length);
        this->registry.WriteRegString(u"HKEY_CURRENT_USER", key, u"Text", FromUtf8(text));
        std::u16string read = this->registry.ReadRegPath(this->Full(u"\\Long\\Text"));
        ASSERT_EQ(read.size(), length);
        EXPECT_TRUE(read == FromUtf8(text)) << length;
    }
    // Unterminated, with an odd byte count.
    const std::string odd = Pattern((size_t{1} << 20) + 1);
    this->Put(key, u"Unterminated", kRegSz, BytesOf(odd));
    std::u16string read = this->registry.QueryRegValue(kCurrentUser, key, u"Unterminated", u"fb");
    ASSERT_EQ(read.size(), odd.size());
    EXPECT_TRUE(read == FromUtf8(odd));
}

// The raw calls themselves, so that the in-memory registry keeps to the
// system's result codes that callers test.
TYPED_TEST_P(RegistryContract, RawCallsGiveTheSystemsResults) {
    RegistryApi& api = this->env.Api();
    const std::u16string path = this->base + u"\\Level1\\Level2\\Level3";
    RegKey key = 0;
    EXPECT_EQ(api.OpenKey(kCurrentUser, path, &key), kRegFileNotFound);
    ASSERT_EQ(api.CreateKey(kCurrentUser, path, &key), kRegOk);
    const std::uint8_t text[] = {'a', 'b', 'c', 0};
    EXPECT_EQ(api.SetValue(key, u"Text", kRegSz, text, 4), kRegOk);
    EXPECT_EQ(api.CloseKey(key), kRegOk);

    // Key and value names ignore letter case.
    ASSERT_EQ(api.OpenKey(kCurrentUser, this->base + u"\\LEVEL1\\level2\\Level3", &key), kRegOk);
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(api.QueryValue(key, u"TEXT", &type, nullptr, &size), kRegOk);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 4u);
    std::uint8_t buffer[8] = {};
    size = 2;
    EXPECT_EQ(api.QueryValue(key, u"Text", &type, buffer, &size), kRegMoreData);
    EXPECT_EQ(size, 4u);
    size = 4;
    EXPECT_EQ(api.QueryValue(key, u"Text", &type, buffer, &size), kRegOk);
    EXPECT_EQ(Bytes(buffer, buffer + 4), Bytes(text, text + 4));
    EXPECT_EQ(api.QueryValue(key, u"Absent", &type, nullptr, &size), kRegFileNotFound);
    EXPECT_EQ(api.DeleteValue(key, u"Absent"), kRegFileNotFound);
    EXPECT_EQ(api.DeleteValue(key, u"text"), kRegOk);
    EXPECT_EQ(api.QueryValue(key, u"Text", &type, nullptr, &size), kRegFileNotFound);
    EXPECT_EQ(api.CloseKey(key), kRegOk);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, RawCallsGiveTheSystemsResults,
                            WriteRegStringStoresAnsiTextWithOneNulAndCreatesAllLevels,
                            WriteRegDwordStoresFourLittleEndianBytes,
                            ReadRegDwordKeepsTheDefaultWhereTheDataDoNotReach,
                            DeleteRegValueRemovesOnlyThatValueAndCreatesNothing,
                            ReadRegPathSplitsRootKeyAndValueName,
                            TextReadsAcceptRegSzOnlyAndStopAtTheFirstNul, LongTextValuesReadWhole);

}  // namespace contract
}  // namespace marvolt
