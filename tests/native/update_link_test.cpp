// The "Update" and "Homepage" links of the settings window.
#include <gmock/gmock.h>

#include "tests/native/main_window_test_fixture.h"

namespace marvolt::testing {
namespace {

using S = std::u16string;
using V = std::vector<std::string>;

struct MockHandover : UpdateHandover {
    MOCK_METHOD(bool, DownloadUpdateWithUpdater, (const S&, const S&, const S&, const S&), (override));
};

TEST_F(MainWindowTest, UpdateLinkNoChangesNothingYesTakesTheIconDownFirstAndAFailureBringsItBack) {
    Store(u"UpdateServer", u"http://127.0.0.1:8000/");
    ::testing::StrictMock<MockHandover> handover;
    window.SetUpdateHandover(&handover);
    identity.folder = u"C:\\Program Files\\Tools";
    EXPECT_CALL(handover, DownloadUpdateWithUpdater(S(u"http://127.0.0.1:8000/Downloads/Tools/Marvolt/eng/Marvolt.exe"),
                                                    S(u"C:\\Program Files\\Tools\\Marvolt.exe"), S(u"Update.exe"),
                                                    S(u"http://127.0.0.1:8000/Downloads/Zarnik-Updater.exe")))
        .WillOnce([&](const S&, const S&, const S&, const S&) { return log.Add("handover"), false; });
    Forget();
    for (MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
        messages.answer = answer;
        window.OnLabel1Click();
    }
    EXPECT_EQ(Calls(), V({"message Check for a new Version?", "message Check for a new Version?", "tray remove", "tray unload", "handover", "tray add ", "tray menu"}));
    EXPECT_EQ(S(messages.shown[0].title) + Decimal(int(messages.shown[0].buttons)) + Decimal(int(messages.shown[0].icon)),
              u"Online Update" + Decimal(int(MessageButtons::YesNo)) + Decimal(int(MessageIcon::Question)));
    EXPECT_TRUE(window.TrayIconActive());
}

TEST_F(MainWindowTest, HomepageLinkAndTrayEntryOpenTheAddressTheUserStored) {
    Store(u"Homepage", u"https://intranet.example/marvolt");
    Forget();
    window.OnWebPageClick();
    window.OnTrayMenu(u"Homepage ...");
    EXPECT_EQ(Calls(), V({"open https://intranet.example/marvolt", "open https://intranet.example/marvolt"}));
}

}  // namespace
}  // namespace marvolt::testing
