// The "Update" and "Homepage" links of the settings window.
#include <gmock/gmock.h>

#include "tests/native/main_window_fixture.h"

namespace marvolt::fakes {
namespace {

using S = std::u16string;

struct MockHandover : UpdateHandover {
    MOCK_METHOD(bool, DownloadUpdateWithUpdater, (const S&, const S&, const S&, const S&), (override));
};

TEST_F(MainWindowTest, UpdateLinkNoChangesNothingYesTakesTheIconDownFirstAndAFailureBringsItBack) {
    Store(u"UpdateServer", u"http://127.0.0.1:8000/");
    ::testing::StrictMock<MockHandover> handover;
    window.SetUpdateHandover(&handover);
    system.folder = u"C:\\Program Files\\Tools";
    EXPECT_CALL(handover, DownloadUpdateWithUpdater(S(u"http://127.0.0.1:8000/Downloads/Tools/Marvolt/eng/Marvolt.exe"),
                                                    S(u"C:\\Program Files\\Tools\\Marvolt.exe"), S(u"Update.exe"),
                                                    S(u"http://127.0.0.1:8000/Downloads/Zarnik-Updater.exe")))
        .WillOnce([&](const S&, const S&, const S&, const S&) { return trace("handover"), false; });
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        system.answer = answer;
        window.OnLabel1Click();
    }
    const std::string ask = "message Check for a new Version? | Online Update | 12";
    EXPECT_EQ(trace.Take(), ask + "; " + ask + "; tray remove; tray unload; handover; tray add ; tray menu");
    EXPECT_TRUE(window.TrayIconActive());
}

TEST_F(MainWindowTest, HomepageLinkAndTrayEntryOpenTheAddressTheUserStored) {
    Store(u"Homepage", u"https://intranet.example/marvolt");
    window.OnWebPageClick();
    window.OnTrayMenu(u"Homepage ...");
    EXPECT_EQ(trace.Take(), "open https://intranet.example/marvolt @1; open https://intranet.example/marvolt @1");
}

}  // namespace
}  // namespace marvolt::fakes
