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

class UpdateLink : public MainWindowTest {};

TEST_F(UpdateLink, NoChangesNothingYesTakesTheIconDownFirstAndAFailureBringsItBack) {
    LoadRows({u"Speakers"});
    Store(u"UpdateServer", u"http://127.0.0.1:8000/");
    ::testing::StrictMock<MockHandover> handover;
    window.SetUpdateHandover(&handover);
    Forget();
    messages.answer = MessageAnswer::No;
    window.OnLabel1Click();
    EXPECT_EQ(Calls(), V({"message Check for a new Version?"}));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, u"Online Update");
    EXPECT_EQ(messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Question);

    Forget();
    messages.answer = MessageAnswer::Yes;
    identity.folder = u"C:\\Program Files\\Tools\\";
    EXPECT_CALL(handover, DownloadUpdateWithUpdater(S(u"http://127.0.0.1:8000/Downloads/Tools/Marvolt/eng/Marvolt.exe"),
                                                    S(u"C:\\Program Files\\Tools\\Marvolt.exe"), S(u"Update.exe"),
                                                    S(u"http://127.0.0.1:8000/Downloads/Zarnik-Updater.exe")))
        .WillOnce(::testing::Invoke([&](const S&, const S&, const S&, const S&) {
            log.Add("handover");
            return false;
        }));
    window.OnLabel1Click();
    EXPECT_EQ(Calls(), V({"message Check for a new Version?", "tray remove", "tray unload", "handover",
                          "tray add " + ToUtf8(window.CurrentDevice()), "tray menu"}));
    EXPECT_TRUE(window.TrayIconActive());
}

TEST_F(UpdateLink, HomepageLinkAndTrayEntryOpenTheSameAddressTheUserMayReplace) {
    for (const char* stored : {"", "https://intranet.example/marvolt"}) {
        if (*stored) Store(u"Homepage", FromUtf8(stored));
        Forget();
        window.OnWebPageClick();
        window.OnTrayMenu(u"Homepage ...");
        std::string open = std::string("open ") + (*stored ? stored : "https://www.marvolt.example/");
        EXPECT_EQ(Calls(), V({open, open}));
    }
}

}  // namespace
}  // namespace marvolt::testing
