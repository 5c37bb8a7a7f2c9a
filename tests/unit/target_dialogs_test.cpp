#include "actions/domain_action.h"
#include "actions/remote_shutdown.h"
#include "app/main_window.h"
#include "common/texts.h"
#include "dialogs/domain_dialog.h"
#include "dialogs/remote_dialog.h"
#include "ui_world.h"

#include <cstring>
#include <memory>
#include <optional>

namespace {

using ui::headless::Check;
using ui::headless::Click;
using ui::headless::Type;

class TargetDialogsTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    SetActionRoutines({.confirmByWarningCountdown = ConfirmByWarningCountdown,
                       .remoteShutdownByName = RemoteShutdownByName,
                       .domainShutdown = DomainShutdown});
    Settings stored;
    SetDefaultSettings(stored);
    stored.ShowWarning = 0;
    stored.ShowRemoteWarning = 0;
    stored.ForceApps = 1;
    StoreSettings(stored);
    window = StartMainWindow();
    world().calls.clear();
  }

  // The remote dialog's answer: the fields to type, then OK.
  static ui::headless::ModalScript Answer(std::string computer, bool reboot, bool credentials,
                                          std::string user, std::string password) {
    return [=](ui::Form& form) {
      auto& dialog = static_cast<TFRComp&>(form);
      Type(dialog.EdComp, computer);
      Check(dialog.CBReboot, reboot);
      Check(dialog.CBPass, credentials);
      Type(dialog.EdUser, user);
      Type(dialog.EdPass, password);
      Click(dialog.BOk);
      return ui::ModalResult::None;
    };
  }

  std::vector<std::string> Requests() { return fake::CallsNamed({"InitiateSystemShutdownA"}); }

  std::unique_ptr<TFMain> window;
};

TEST_F(TargetDialogsTest, BelowNtTheCommandsRefuseWithoutADialog) {
  struct Case {
    std::uint32_t platformId;
    std::uint32_t major;
    std::uint32_t minor;
    bool opens;
  };
  const Case cases[] = {
      {0, 0, 0, false}, {1, 4, 0, false}, {1, 4, 10, false}, {1, 4, 90, false},
      {2, 4, 0, true},  {2, 5, 1, true},  {2, 10, 0, true},
  };
  for (const Case& c : cases) {
    for (const char* item : {"RemoteReboot1", "DomainShutdown1"}) {
      world().messageBoxes.clear();
      fake::SetVersion(c.platformId, c.major, c.minor);
      int dialogs = 0;
      ui::headless::OnNextModal([&](ui::Form&) {
        ++dialogs;
        return ui::ModalResult::Cancel;
      });
      ui::headless::ClickMenuItem(window->MainMenu1, item);
      EXPECT_EQ(dialogs, c.opens ? 1 : 0) << item << " " << c.major << "." << c.minor;
      if (!c.opens) {
        ASSERT_EQ(world().messageBoxes.size(), 1u);
        EXPECT_EQ(world().messageBoxes[0].text, NtRequiredText);
        EXPECT_EQ(world().messageBoxes[0].owner, window->native);
        ui::headless::Reset();
      }
    }
  }
}

TEST_F(TargetDialogsTest, ARemoteActionCopiesTheAnswerAndRunsSevenOrEight) {
  struct Case {
    bool reboot;
    std::string expectedRequest;
  };
  const Case cases[] = {{false, "InitiateSystemShutdownA(SERVER7, null, 0, 0, 0)"},
                        {true, "InitiateSystemShutdownA(SERVER7, null, 0, 0, 1)"}};
  for (const Case& c : cases) {
    world().calls.clear();
    AppSettings.ForceApps = 1;
    ui::headless::OnNextModal(Answer("SERVER7", c.reboot, false, "", ""));
    ui::headless::ClickToolButton(window->ToolBar1, "TBRemote");
    EXPECT_EQ(Requests(), std::vector<std::string>{c.expectedRequest});
    EXPECT_STREQ(AppSettings.RemoteComputer, "SERVER7");
    EXPECT_EQ(AppSettings.RemoteReboot, c.reboot ? 1 : 0);
    EXPECT_EQ(AppSettings.ForceApps, 0) << "a confirmed dialog clears the force preference";
    EXPECT_FALSE(ActionInProgress) << "another computer: the window may not close unasked";
  }
}

TEST_F(TargetDialogsTest, TheRemoteDialogAlwaysOpensBlank) {
  std::strcpy(AppSettings.RemoteComputer, "OLDPC");
  std::strcpy(AppSettings.UserName, "olduser");
  AppSettings.UseCredentials = 1;
  AppSettings.RemoteReboot = 1;
  ui::headless::OnNextModal([](ui::Form& form) {
    auto& dialog = static_cast<TFRComp&>(form);
    EXPECT_EQ(dialog.EdComp.Text(), "");
    EXPECT_EQ(dialog.EdUser.Text(), "");
    EXPECT_EQ(dialog.EdPass.Text(), "");
    EXPECT_FALSE(dialog.CBReboot.Checked());
    EXPECT_FALSE(dialog.CBPass.Checked());
    EXPECT_FALSE(dialog.GBPass.Enabled());
    EXPECT_FALSE(dialog.EdUser.Enabled());
    EXPECT_FALSE(dialog.EdPass.Enabled());
    EXPECT_EQ(dialog.HelpContext(), 10);
    EXPECT_EQ(dialog.Text(), RemoteDialogTitle);
    return ui::ModalResult::Cancel;
  });
  ui::headless::ClickMenuItem(window->PopupMenu1, "RemoteShutdown2");
  EXPECT_STREQ(AppSettings.RemoteComputer, "OLDPC") << "Cancel changes nothing";
  EXPECT_TRUE(Requests().empty());
}

TEST_F(TargetDialogsTest, AnEmptyNameAsksAgainKeepingWhatWasTypedWithTheFocusOnTheName) {
  ui::headless::OnNextModal([](ui::Form& form) {
    auto& dialog = static_cast<TFRComp&>(form);
    Check(dialog.CBReboot, true);
    Check(dialog.CBPass, true);
    Type(dialog.EdUser, "admin");
    Type(dialog.EdPass, "pw");
    dialog.BOk.SetFocus();
    ui::headless::PressKey(dialog, ui::ShortcutEnter);
    return ui::ModalResult::None;
  });
  bool keptEverything = false;
  ui::headless::OnNextModal([&](ui::Form& form) {
    auto& dialog = static_cast<TFRComp&>(form);
    keptEverything = dialog.CBReboot.Checked() && dialog.CBPass.Checked() &&
                     dialog.EdUser.Text() == "admin" && dialog.EdPass.Text() == "pw" &&
                     dialog.EdUser.Enabled() && dialog.FocusedControl() == &dialog.EdComp;
    return ui::ModalResult::Cancel;
  });
  const Settings before = AppSettings;
  ui::headless::ClickMenuItem(window->MainMenu1, "RemoteReboot1");
  EXPECT_TRUE(keptEverything);
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, NoComputerNameText);
  EXPECT_EQ(world().messageBoxes[0].owner, win::NoHandle);
  EXPECT_EQ(AppSettings.ForceApps, before.ForceApps);
  EXPECT_TRUE(Requests().empty());
}

// Enter presses the focused button, and the default one (OK) while the focus is on no button;
// Esc presses Cancel. The password never shows.
TEST_F(TargetDialogsTest, EnterPressesTheFocusedButtonOrTheDefaultOne) {
  struct Case {
    const char* focus;
    ui::Shortcut key;
    bool sent;
  };
  const Case cases[] = {
      {"EdComp", ui::ShortcutEnter, true}, {"CBReboot", ui::ShortcutEnter, true},
      {"BOk", ui::ShortcutEnter, true},    {"BCancel", ui::ShortcutEnter, false},
      {"EdComp", ui::ShortcutEsc, false},  {"BOk", ui::ShortcutEsc, false},
  };
  for (const Case& c : cases) {
    world().calls.clear();
    bool masked = false;
    ui::headless::OnNextModal([&](ui::Form& form) {
      auto& dialog = static_cast<TFRComp&>(form);
      masked = dialog.EdPass.PasswordChar() == ui::PasswordMask;
      Type(dialog.EdComp, "SERVER7");
      for (ui::Control* control :
           {static_cast<ui::Control*>(&dialog.EdComp), static_cast<ui::Control*>(&dialog.CBReboot),
            static_cast<ui::Control*>(&dialog.BOk), static_cast<ui::Control*>(&dialog.BCancel)}) {
        if (control->Name() == c.focus) {
          control->SetFocus();
        }
      }
      ui::headless::PressKey(dialog, c.key);
      EXPECT_NE(dialog.GetModalResult(), ui::ModalResult::None) << c.focus;
      return ui::ModalResult::None;
    });
    ui::headless::ClickMenuItem(window->MainMenu1, "RemoteReboot1");
    EXPECT_EQ(Requests().size(), c.sent ? 1u : 0u) << c.focus << " key " << c.key;
    EXPECT_TRUE(masked);
  }
}

TEST_F(TargetDialogsTest, TheCredentialsBoxEnablesItsGroupAndStillCopiesWhenUnchecked) {
  ui::headless::OnNextModal([](ui::Form& form) {
    auto& dialog = static_cast<TFRComp&>(form);
    Check(dialog.CBPass, true);
    EXPECT_TRUE(dialog.GBPass.Enabled());
    EXPECT_TRUE(dialog.EdPass.Enabled());
    Type(dialog.EdComp, "PC");
    Type(dialog.EdUser, "typed user");
    Type(dialog.EdPass, "typed password");
    Check(dialog.CBPass, false);
    EXPECT_TRUE(dialog.CBPass.Enabled());
    EXPECT_TRUE(dialog.EdComp.Enabled());
    EXPECT_FALSE(dialog.EdUser.Enabled());
    return ui::ModalResult::Ok;
  });
  ui::headless::ClickMenuItem(window->MainMenu1, "RemoteReboot1");
  EXPECT_EQ(AppSettings.UseCredentials, 0);
  EXPECT_STREQ(AppSettings.UserName, "typed user");
  EXPECT_STREQ(AppSettings.Password, "typed password");
  EXPECT_TRUE(fake::CallsNamed({"WNetAddConnection2A"}).empty());
}

TEST_F(TargetDialogsTest, OverlongAccountsArriveCutTo261CharactersAndTheLongestNameWhole) {
  const std::string longText(300, 'x');
  const std::string longestName(255, 'n');
  ui::headless::OnNextModal(Answer(longestName, false, true, longText, longText));
  world().results["WNetAddConnection2A"] = {1326};
  ui::headless::ClickMenuItem(window->MainMenu1, "RemoteReboot1");
  EXPECT_EQ(std::string(AppSettings.RemoteComputer), longestName);
  EXPECT_EQ(std::string(AppSettings.UserName), longText.substr(0, 261));
  EXPECT_EQ(std::string(AppSettings.Password), longText.substr(0, 261));
}

TEST_F(TargetDialogsTest, TheDomainActionEmptiesTheTargetAndRunsNineOrTen) {
  struct Case {
    bool reboot;
    std::uint8_t rebootFlag;
  };
  const Case cases[] = {{false, 0}, {true, 1}};
  for (const Case& c : cases) {
    world().calls.clear();
    world().enumBatches = {{{win::ResourceDisplayTypeServer, "\\\\OTHER"}}};
    std::strcpy(AppSettings.RemoteComputer, "SERVER7");
    AppSettings.ForceApps = 1;
    ui::headless::OnNextModal([&](ui::Form& form) {
      auto& dialog = static_cast<TFRNetwork&>(form);
      EXPECT_EQ(dialog.LBMsg.Text(), DomainDialogText);
      EXPECT_FALSE(dialog.EdUser.Enabled());
      EXPECT_EQ(dialog.EdUser.Text(), "");
      Check(dialog.CBReboot, c.reboot);
      Check(dialog.CBPass, true); // empty credentials are accepted
      Click(dialog.BOk);
      return ui::ModalResult::None;
    });
    ui::headless::ClickToolButton(window->ToolBar1, "TBDomain");
    EXPECT_EQ(Requests(),
              std::vector<std::string>{"InitiateSystemShutdownA(\\\\OTHER, null, 0, 0, " +
                                       std::to_string(c.rebootFlag) + ")"});
    EXPECT_EQ(fake::CallsNamed({"WNetAddConnection2A"}).size(), 1u);
    EXPECT_STREQ(AppSettings.RemoteComputer, "");
    EXPECT_EQ(AppSettings.ForceApps, 0);
    EXPECT_TRUE(ActionInProgress) << "a domain action leaves the flag raised";
    ActionInProgress = false;
  }
}

TEST_F(TargetDialogsTest, TheDomainDialogCancelledChangesNothing) {
  std::strcpy(AppSettings.RemoteComputer, "SERVER7");
  ui::headless::OnNextModal([](ui::Form&) { return ui::ModalResult::Cancel; });
  ui::headless::ClickMenuItem(window->PopupMenu1, "DomainShutdown2");
  EXPECT_STREQ(AppSettings.RemoteComputer, "SERVER7");
  EXPECT_EQ(AppSettings.ForceApps, 1);
  EXPECT_TRUE(fake::CallsNamed({"WNetOpenEnumA"}).empty());
}

TEST_F(TargetDialogsTest, TheDomainDialogTellsHowManyComputersTheListFileNames) {
  const std::string path = "C:\\Program Files\\Dorvane Shutdown\\DorvaneShutdown.computers.txt";
  const std::string text = DomainDialogText;
  struct Case {
    std::optional<std::string> list;
    std::string label;
  };
  const Case cases[] = {
      {std::nullopt, text},
      {"# none yet\n", text + "\nThe list file names 0 computers."},
      {"PC1\r\n\\\\pc1\r\n", text + "\nThe list file names 1 computer."},
      {"PC1\nPC2\nbad name\nPC3\n",
       text + "\nThe list file names 3 computers.\n1 line can't be a computer name."},
      {"a b\nc d\n", text + "\nThe list file names 0 computers.\n2 lines can't be computer names."},
      // Containers are counted apart, each once, without asking the directory; a malformed
      // one is a bad line.
      {"PC1\nLDAP://OU=Lab,DC=example,DC=test\nldap://ou=lab,dc=example,dc=test\n",
       text + "\nThe list file names 1 computer.\nIt names 1 directory container."},
      {"LDAP://dc1/OU=A,DC=x\nLDAP://OU=B,DC=x\nLDAP://dc1\n",
       text + "\nThe list file names 0 computers.\nIt names 2 directory containers.\n1 line "
              "can't be a computer name."},
  };
  for (const Case& c : cases) {
    world().files.erase(path);
    if (c.list) {
      world().files[path].assign(c.list->begin(), c.list->end());
    }
    std::string shown;
    ui::headless::OnNextModal([&](ui::Form& form) {
      shown = static_cast<TFRNetwork&>(form).LBMsg.Text();
      return ui::ModalResult::Cancel;
    });
    ui::headless::ClickMenuItem(window->PopupMenu1, "DomainShutdown2");
    EXPECT_EQ(shown, c.label);
  }
  EXPECT_TRUE(fake::CallsNamed({"ldap_initA"}).empty());
}

} // namespace
