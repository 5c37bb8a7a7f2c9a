#include "logon/auto_logon.h"

#include "app/main_window.h"
#include "common/texts.h"
#include "logon/auto_logon_dialog.h"
#include "ui_world.h"

#include <cstring>
#include <memory>
#include <optional>

namespace {

using fake::RegValue;
using ui::headless::Check;
using ui::headless::Type;

constexpr char MachineKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr char NineXKey[] = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Winlogon";

class AutoLogonTest : public WindowsTest {
protected:
  void SetUp() override {
    WindowsTest::SetUp();
    DialogAutoLogon = AutoLogonState{};
    ButtonAutoLogon = AutoLogonState{};
    fake::SetVersion(win::VerPlatformWin32Nt, 5, 0); // Windows 2000: the dialog opens
  }

  void StoreLogon(const char* enabled, const char* user, const char* password, const char* domain) {
    fake::PutRegValue(MachineKey, AutoAdminLogonValue, RegValue::Text(enabled));
    fake::PutRegValue(MachineKey, DefaultUserNameValue, RegValue::Text(user));
    fake::PutRegValue(MachineKey, DefaultPasswordValue, RegValue::Text(password));
    fake::PutRegValue(MachineKey, DefaultDomainNameValue, RegValue::Text(domain));
  }
  std::string Stored(const char* name) {
    const auto value = fake::GetRegValue(MachineKey, name);
    return value ? value->AsText() : "<missing>";
  }

  std::unique_ptr<TFMain> StartMain() {
    auto window = StartMainWindow();
    world().calls.clear();
    return window;
  }
  void OnDialog(std::function<ui::ModalResult(TFALogon&)> act) {
    ui::headless::OnNextModal([=](ui::Form& form) { return act(static_cast<TFALogon&>(form)); });
  }
};

TEST_F(AutoLogonTest, TheWinlogonKeyFollowsTheWindowsRelease) {
  struct Case {
    std::uint32_t platformId;
    std::uint32_t major;
    std::uint32_t minor;
    const char* key;
  };
  const Case cases[] = {
      {win::VerPlatformWin32Windows, 4, 0, NineXKey},
      {win::VerPlatformWin32Windows, 4, 10, NineXKey},
      {win::VerPlatformWin32Windows, 4, 90, NineXKey},
      {win::VerPlatformWin32Windows, 5, 0, NineXKey}, // unknown 9x release, still that family
      {win::VerPlatformWin32Nt, 4, 0, MachineKey},
      {win::VerPlatformWin32Nt, 5, 0, MachineKey},
      {win::VerPlatformWin32Nt, 5, 1, MachineKey},
      {win::VerPlatformWin32Nt, 5, 2, MachineKey},
      {win::VerPlatformWin32Nt, 6, 0, MachineKey},
      {win::VerPlatformWin32Nt, 6, 1, MachineKey},
      {win::VerPlatformWin32Nt, 10, 0, MachineKey},
      {0, 0, 0, MachineKey}, // an unknown platform
  };
  for (const Case& c : cases) {
    fake::SetVersion(c.platformId, c.major, c.minor);
    EXPECT_STREQ(WinlogonKey(), c.key) << c.platformId << " " << c.major << "." << c.minor;
  }
  world().version.queryFails = true;
  EXPECT_STREQ(WinlogonKey(), MachineKey);
}

TEST_F(AutoLogonTest, OnlyATextBeginningWithOneMeansOn) {
  struct Case {
    RegValue value;
    std::uint8_t enabled;
  };
  const Case cases[] = {
      {RegValue::Text("1"), 1}, {RegValue::Text("1abc"), 1}, {RegValue::Text("0"), 0},
      {RegValue::Text(""), 0},  {RegValue::Text(" 1"), 0},   {RegValue::Dword(1), 0},
  };
  for (const Case& c : cases) {
    fake::PutRegValue(MachineKey, AutoAdminLogonValue, c.value);
    AutoLogonState state;
    state.Enabled = 7;
    EXPECT_EQ(ReadAutoLogon(state), 1);
    EXPECT_EQ(state.Enabled, c.enabled) << c.value.AsText();
  }
}

TEST_F(AutoLogonTest, AValueOfAnotherTypeReadsAsItsBytesUpToTheFirstZero) {
  fake::PutRegValue(MachineKey, DefaultUserNameValue, RegValue::Dword(0x41424344));
  AutoLogonState state;
  ReadAutoLogon(state);
  EXPECT_STREQ(state.UserName, "DCBA");
}

TEST_F(AutoLogonTest, ValuesThatCannotBeReadKeepTheRecord) {
  fake::PutRegValue(MachineKey, DefaultUserNameValue, RegValue::Text("alice"));
  fake::PutRegValue(MachineKey, DefaultDomainNameValue, RegValue::Text(std::string(300, 'd')));
  AutoLogonState state;
  state.Enabled = 1;
  state.Password.Assign("kept");
  std::strcpy(state.Domain, "kept too");
  EXPECT_EQ(ReadAutoLogon(state), 1);
  EXPECT_EQ(state.Enabled, 1);
  EXPECT_STREQ(state.UserName, "alice");
  EXPECT_STREQ(state.Password.c_str(), "kept");
  EXPECT_STREQ(state.Domain, "kept too") << "a value longer than 260 bytes is not read";
}

TEST_F(AutoLogonTest, TheDialogShowsTheStoredStateAndEnablesTheEditsWithIt) {
  StoreLogon("1", "alice", "secret", "OFFICE");
  auto window = StartMain();
  EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOnCaption);
  bool shownOn = false;
  OnDialog([&](TFALogon& dialog) {
    shownOn = dialog.CBAutoLogon.Checked() && dialog.EdUser.Text() == "alice" &&
              dialog.EdPass.Text() == "secret" && dialog.EdDomain.Text() == "OFFICE" &&
              dialog.EdUser.Enabled() && dialog.EdPass.PasswordChar() == '*' &&
              dialog.EdDomain.Enabled();
    return ui::ModalResult::Cancel;
  });
  ui::headless::Click(window->SBAutoLogon);
  EXPECT_TRUE(shownOn);
}

TEST_F(AutoLogonTest, ConfirmingSwitchedOffBlanksOnlyThePassword) {
  StoreLogon("1", "alice", "secret", "OFFICE");
  auto window = StartMain();
  OnDialog([](TFALogon& dialog) {
    Check(dialog.CBAutoLogon, false);
    EXPECT_EQ(dialog.EdPass.Text(), "") << "unchecking empties the password at once";
    EXPECT_FALSE(dialog.EdUser.Enabled());
    EXPECT_TRUE(dialog.GroupBox1.Enabled());
    return ui::ModalResult::Ok;
  });
  ui::headless::PressKey(*window, ui::ShortcutCtrlL);
  EXPECT_EQ(Stored(AutoAdminLogonValue), "0");
  EXPECT_EQ(Stored(DefaultPasswordValue), "");
  EXPECT_EQ(Stored(DefaultUserNameValue), "alice");
  EXPECT_EQ(Stored(DefaultDomainNameValue), "OFFICE");
  EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOffCaption);
}

TEST_F(AutoLogonTest, UncheckingAndCheckingAgainRestoresTheAccountButNotThePassword) {
  StoreLogon("1", "alice", "secret", "OFFICE");
  auto window = StartMain();
  OnDialog([](TFALogon& dialog) {
    Type(dialog.EdUser, "typed but never filled back");
    Check(dialog.CBAutoLogon, false);
    Check(dialog.CBAutoLogon, true);
    EXPECT_EQ(dialog.EdUser.Text(), "alice");
    EXPECT_EQ(dialog.EdDomain.Text(), "OFFICE");
    EXPECT_EQ(dialog.EdPass.Text(), "");
    EXPECT_TRUE(dialog.EdPass.Enabled());
    Type(dialog.EdPass, "new secret");
    return ui::ModalResult::Ok;
  });
  ui::headless::ClickMenuItem(window->PopupMenu1, "AutoLogon1");
  EXPECT_EQ(Stored(AutoAdminLogonValue), "1");
  EXPECT_EQ(Stored(DefaultPasswordValue), "new secret");
}

TEST_F(AutoLogonTest, ALongUserNameIsStoredAsItsFirst259Characters) {
  auto window = StartMain();
  const std::string name(300, 'u');
  OnDialog([&](TFALogon& dialog) {
    Check(dialog.CBAutoLogon, true);
    Type(dialog.EdUser, name);
    return ui::ModalResult::Ok;
  });
  ui::headless::ClickMenuItem(window->MainMenu1, "AutoLogon2");
  EXPECT_EQ(Stored(DefaultUserNameValue), name.substr(0, 259));
  const auto value = fake::GetRegValue(MachineKey, DefaultUserNameValue);
  EXPECT_EQ(value->type, win::RegSz);
  EXPECT_EQ(value->data.size(), 259u) << "stored without a terminator";
}

TEST_F(AutoLogonTest, ARefusedWriteIsReportedAndTheDialogShownAgainFromTheRegistry) {
  StoreLogon("0", "alice", "", "OFFICE");
  auto window = StartMain();
  world().readOnlyRoots.insert(win::HkeyLocalMachine);
  std::string userOnSecondShowing;
  OnDialog([](TFALogon& dialog) {
    Check(dialog.CBAutoLogon, true);
    Type(dialog.EdUser, "bob");
    return ui::ModalResult::Ok;
  });
  OnDialog([&](TFALogon& dialog) {
    userOnSecondShowing = dialog.EdUser.Text();
    return ui::ModalResult::Cancel;
  });
  ui::headless::Click(window->SBAutoLogon);
  ASSERT_EQ(world().messageBoxes.size(), 1u);
  EXPECT_EQ(world().messageBoxes[0].text, AutoLogonWriteFailedText);
  EXPECT_EQ(world().messageBoxes[0].style, win::MbIconError);
  EXPECT_EQ(userOnSecondShowing, "alice") << "the registry's value replaces what was typed";
  EXPECT_EQ(Stored(DefaultUserNameValue), "alice");
}

TEST_F(AutoLogonTest, CancelWritesNothingButRefreshesTheButton) {
  auto window = StartMain();
  EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOffCaption);
  fake::PutRegValue(MachineKey, AutoAdminLogonValue, RegValue::Text("1"));
  OnDialog([](TFALogon& dialog) {
    Check(dialog.CBAutoLogon, false);
    return ui::ModalResult::Cancel;
  });
  ui::headless::Click(window->SBAutoLogon);
  EXPECT_TRUE(fake::CallsNamed({"RegSetValueExA"}).empty());
  EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOnCaption);
}

TEST_F(AutoLogonTest, EveryReleaseShowsTheStateAndEachOpensTheDialogWhereItCanWrite) {
  enum class Opens { InformationBox, Dialog, ElevatedCopy };
  struct Case {
    std::uint32_t platformId;
    std::uint32_t major;
    std::uint32_t minor;
    bool elevated;
    const char* key;
    Opens opens;
  };
  const Case cases[] = {
      {0, 0, 0, false, MachineKey, Opens::InformationBox},
      {win::VerPlatformWin32Windows, 4, 10, false, NineXKey, Opens::InformationBox},
      {win::VerPlatformWin32Nt, 4, 0, false, MachineKey, Opens::InformationBox},
      {win::VerPlatformWin32Nt, 5, 0, false, MachineKey, Opens::Dialog},
      {win::VerPlatformWin32Nt, 5, 1, false, MachineKey, Opens::Dialog},
      {win::VerPlatformWin32Nt, 5, 2, false, MachineKey, Opens::Dialog},
      {win::VerPlatformWin32Nt, 6, 0, false, MachineKey, Opens::ElevatedCopy},
      {win::VerPlatformWin32Nt, 6, 0, true, MachineKey, Opens::Dialog},
      {win::VerPlatformWin32Nt, 10, 0, false, MachineKey, Opens::ElevatedCopy},
      {win::VerPlatformWin32Nt, 10, 0, true, MachineKey, Opens::Dialog},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    ui::headless::Reset();
    ButtonAutoLogon = AutoLogonState{};
    fake::SetVersion(c.platformId, c.major, c.minor);
    world().elevated = c.elevated;
    fake::PutRegValue(c.key, AutoAdminLogonValue, RegValue::Text("1"));
    auto window = StartMain();
    const std::string what = std::string(c.key) + " " + std::to_string(c.major) + "." +
                             std::to_string(c.minor) + (c.elevated ? " elevated" : "");
    EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOnCaption) << what;
    int dialogs = 0;
    ui::headless::OnNextModal([&](ui::Form&) {
      ++dialogs;
      return ui::ModalResult::Cancel;
    });
    fake::PutRegValue(c.key, AutoAdminLogonValue, RegValue::Text("0"));
    ui::headless::Click(window->SBAutoLogon);
    EXPECT_EQ(dialogs, c.opens == Opens::Dialog ? 1 : 0) << what;
    EXPECT_EQ(fake::CallsNamed({"ShellExecuteExA"}).size(),
              c.opens == Opens::ElevatedCopy ? 1u : 0u)
        << what;
    if (c.opens == Opens::InformationBox) {
      ASSERT_EQ(world().messageBoxes.size(), 1u) << what;
      EXPECT_EQ(world().messageBoxes[0].text, AutoLogonUnavailableText) << what;
      EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOnCaption) << "not refreshed after a refusal";
    } else {
      EXPECT_TRUE(world().messageBoxes.empty()) << what;
      EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOffCaption) << what;
    }
  }
}

class LogonSecretTest : public AutoLogonTest {
protected:
  void Confirm(bool enabled, const char* password) {
    auto window = StartMain();
    OnDialog([=](TFALogon& dialog) {
      Check(dialog.CBAutoLogon, enabled);
      Type(dialog.EdUser, "alice");
      Type(dialog.EdPass, password);
      return ui::ModalResult::Ok;
    });
    ui::headless::Click(window->SBAutoLogon);
  }
  std::string Secret() {
    const auto found = world().privateData.find(DefaultPasswordValue);
    return found != world().privateData.end() ? found->second : "<none>";
  }
};

TEST_F(LogonSecretTest, FromXpOnThePasswordIsASecretAndThePlainValueGoes) {
  for (const std::uint32_t minor : {1u, 2u}) {
    fake::ResetWorld();
    fake::SetVersion(win::VerPlatformWin32Nt, 5, minor);
    StoreLogon("0", "", "left from before", "");
    Confirm(true, "s3cret");
    EXPECT_EQ(Secret(), "s3cret") << minor;
    EXPECT_EQ(Stored(DefaultPasswordValue), "<missing>") << minor;
    EXPECT_EQ(Stored(AutoAdminLogonValue), "1") << minor;
    EXPECT_EQ(Stored(DefaultUserNameValue), "alice") << minor;
  }
  // Vista and later, as an elevated process.
  fake::SetVersion(win::VerPlatformWin32Nt, 10, 0);
  world().elevated = true;
  Confirm(true, "n3w");
  EXPECT_EQ(Secret(), "n3w");
}

TEST_F(LogonSecretTest, TheDialogShowsTheSecretsPasswordBeforeThePlainValue) {
  fake::SetVersion(win::VerPlatformWin32Nt, 5, 1);
  StoreLogon("1", "alice", "stale plain value", "OFFICE");
  world().privateData[DefaultPasswordValue] = "from the secret";
  auto window = StartMain();
  std::string shown;
  OnDialog([&](TFALogon& dialog) {
    shown = dialog.EdPass.Text();
    return ui::ModalResult::Cancel;
  });
  ui::headless::Click(window->SBAutoLogon);
  EXPECT_EQ(shown, "from the secret");
}

TEST_F(LogonSecretTest, SwitchingOffClearsTheSecretAndThePlainValue) {
  fake::SetVersion(win::VerPlatformWin32Nt, 5, 1);
  StoreLogon("1", "alice", "plain", "OFFICE");
  world().privateData[DefaultPasswordValue] = "secret";
  Confirm(false, "");
  EXPECT_EQ(Secret(), "<none>");
  EXPECT_EQ(Stored(DefaultPasswordValue), "<missing>");
  EXPECT_EQ(Stored(AutoAdminLogonValue), "0");
  EXPECT_EQ(Stored(DefaultUserNameValue), "alice");
}

TEST_F(LogonSecretTest, WhereTheSecretCantBeStoredThePlainValueKeepsThePassword) {
  struct Case {
    const char* what;
    std::uint32_t minor;
    std::optional<win::ErrorCode> refusal;
    const char* afterSwitchingOff;
  };
  const Case cases[] = {
      {"Windows 2000 reads no secret", 0, std::nullopt, ""},
      {"the policy refuses this account", 1, win::ErrorAccessDenied, ""},
      // No secret to clear: the plain value, the only place of the password, goes.
      {"the LSA keeps no private data (as under Wine)", 1, win::ErrorFileNotFound, "<missing>"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    fake::SetVersion(win::VerPlatformWin32Nt, 5, c.minor);
    world().privateDataRefusal = c.refusal;
    Confirm(true, "s3cret");
    EXPECT_EQ(Stored(DefaultPasswordValue), "s3cret") << c.what;
    EXPECT_TRUE(world().privateData.empty()) << c.what;
    if (c.minor == 0) {
      EXPECT_TRUE(fake::CallsNamed({"StorePrivateData", "RetrievePrivateData"}).empty());
    }
    Confirm(false, "");
    EXPECT_EQ(Stored(DefaultPasswordValue), c.afterSwitchingOff) << c.what;
  }
}

TEST_F(LogonSecretTest, ThePlainValueIsAskedForFirstAndCancelWritesNothing) {
  struct Case {
    const char* what;
    std::uint32_t minor;
    std::optional<win::ErrorCode> refusal;
    int answer;
    bool asked;
    const char* stored; // the plain value afterwards
  };
  const Case cases[] = {
      {"a secret asks nothing", 1, std::nullopt, win::IdCancel, false, "<missing>"},
      {"Windows 2000, OK", 0, std::nullopt, win::IdOk, true, "s3cret"},
      {"Windows 2000, Cancel", 0, std::nullopt, win::IdCancel, true, "<missing>"},
      {"a refused secret, OK", 1, win::ErrorAccessDenied, win::IdOk, true, "s3cret"},
      {"a refused secret, Cancel", 1, win::ErrorAccessDenied, win::IdCancel, true, "<missing>"},
  };
  for (const Case& c : cases) {
    fake::ResetWorld();
    fake::SetVersion(win::VerPlatformWin32Nt, 5, c.minor);
    world().privateDataRefusal = c.refusal;
    world().messageBoxAnswers = {c.answer};
    auto window = StartMain();
    OnDialog([](TFALogon& dialog) {
      Check(dialog.CBAutoLogon, true);
      Type(dialog.EdPass, "s3cret");
      return ui::ModalResult::Ok;
    });
    // Declined, the dialog comes back as typed; the test then cancels it.
    std::string typedAgain;
    OnDialog([&](TFALogon& dialog) {
      typedAgain = dialog.EdPass.Text();
      return ui::ModalResult::Cancel;
    });
    ui::headless::Click(window->SBAutoLogon);
    ASSERT_EQ(world().messageBoxes.size(), c.asked ? 1u : 0u) << c.what;
    if (c.asked) {
      EXPECT_EQ(world().messageBoxes[0].text, PlainPasswordQuestion) << c.what;
    }
    EXPECT_EQ(Stored(DefaultPasswordValue), c.stored) << c.what;
    EXPECT_EQ(Stored(AutoAdminLogonValue), c.answer == win::IdCancel && c.asked ? "<missing>" : "1")
        << c.what;
    EXPECT_EQ(typedAgain, c.asked && c.answer == win::IdCancel ? "s3cret" : "") << c.what;
    ui::headless::Reset();
  }
}

class ElevatedCopyTest : public AutoLogonTest {
protected:
  void SetUp() override {
    AutoLogonTest::SetUp();
    fake::SetVersion(win::VerPlatformWin32Nt, 10, 0); // Windows 10 with a filtered token
  }
};

TEST_F(ElevatedCopyTest, TheDialogRunsInAnElevatedCopyWhileTheWindowKeepsAnswering) {
  auto window = StartMain();
  EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOffCaption);
  world().results["ProcessEnded"] = {0, 0, 0, 1};
  // What the copy does: it writes the machine's key.
  world().startedProcess = [] {
    fake::PutRegValue(MachineKey, AutoAdminLogonValue, RegValue::Text("1"));
    return 0u;
  };
  int handled = 0;
  ui::headless::WhileProcessingMessages([&] {
    ++handled;
    // A second click while the copy runs starts no second copy.
    if (handled == 1) {
      ui::headless::Click(window->SBAutoLogon);
    }
  });
  ui::headless::Click(window->SBAutoLogon);
  EXPECT_EQ(
      fake::CallsNamed({"ShellExecuteExA"}),
      std::vector<std::string>{"ShellExecuteExA(runas, " + world().modulePath + ", autologon, 1)"});
  EXPECT_GE(handled, 3) << "messages are handled while the copy runs";
  EXPECT_EQ(fake::CallsNamed({"CloseHandle"}), std::vector<std::string>{"CloseHandle(20480)"});
  EXPECT_TRUE(ui::headless::OpenForms().size() == 1) << "no dialog in this process";
  EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOnCaption) << "the button shows what it wrote";
}

TEST_F(ElevatedCopyTest, ADeclinedPromptChangesNothingAndShowsNothingOtherFailuresAreTold) {
  struct Case {
    win::ErrorCode error;
    std::size_t boxes;
  };
  const Case cases[] = {{win::ErrorCancelled, 0}, {win::ErrorFileNotFound, 1}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    fake::SetVersion(win::VerPlatformWin32Nt, 10, 0);
    world().systemMessages[{win::LangEnglishUs, win::ErrorFileNotFound}] = "Not found.";
    auto window = StartMain();
    world().results["ShellExecuteExA"] = {0};
    world().results["ShellExecuteExA.error"] = {static_cast<long>(c.error)};
    ui::headless::Click(window->SBAutoLogon);
    EXPECT_EQ(world().messageBoxes.size(), c.boxes) << c.error;
    EXPECT_TRUE(fake::CallsNamed({"ProcessEnded", "RegSetValueExA", "StorePrivateData"}).empty())
        << c.error;
    EXPECT_EQ(window->SBAutoLogon.Text(), AutoLogonOffCaption) << c.error;
  }
}

TEST_F(ElevatedCopyTest, TheCopyShowsTheDialogAloneBesideTheRunningInstance) {
  struct Case {
    ui::ModalResult answer;
    int exitCode;
  };
  const Case cases[] = {{ui::ModalResult::Ok, 0},
                        {ui::ModalResult::Cancel, static_cast<int>(win::ErrorCancelled)}};
  for (const Case& c : cases) {
    fake::ResetWorld();
    world().elevated = true;
    world().mutexes.insert(InstanceMutexName); // the instance that started the copy
    OnDialog([&](TFALogon& dialog) {
      Check(dialog.CBAutoLogon, true);
      Type(dialog.EdUser, "bob");
      return c.answer;
    });
    EXPECT_EQ(RunProgram({"DorvaneShutdown.exe", "AutoLogon"}), c.exitCode);
    EXPECT_EQ(Stored(DefaultUserNameValue), c.answer == ui::ModalResult::Ok ? "bob" : "<missing>");
    EXPECT_TRUE(world().messageBoxes.empty()) << "no already-running message";
    EXPECT_TRUE(fake::CallsNamed({"CreateMutexA", "OpenFileForReading", "CreateNewFile",
                                  "ReadGenericCredential", "Shell_NotifyIconA"})
                    .empty())
        << "the copy touches nothing but the logon values";
    EXPECT_TRUE(ui::headless::OpenForms().empty());
  }
}

} // namespace
