#pragma once
// The Windows constants the program passes or compares, defined once for both builds.
// Names are spelled in CamelCase so that they never collide with the macros of <windows.h>;
// the Win32 backend checks each value against the SDK with static_assert.

#include <cstdint>

namespace win {

using Handle = std::uintptr_t; // any kernel, module, token or enumeration handle; 0 = none
inline constexpr Handle NoHandle = 0;

// ExitWindowsEx flags.
using ExitFlags = std::uint32_t;
inline constexpr ExitFlags EwxLogOff = 0;
inline constexpr ExitFlags EwxShutdown = 1;
inline constexpr ExitFlags EwxReboot = 2;
inline constexpr ExitFlags EwxForce = 4;
inline constexpr ExitFlags EwxPowerOff = 8;

// Registry roots and access masks. Roots hold the 32-bit handle values; opened keys hold the
// handle the registry gave out.
using RegKey = std::uintptr_t;
inline constexpr RegKey HkeyClassesRoot = 0x80000000u;
inline constexpr RegKey HkeyCurrentUser = 0x80000001u;
inline constexpr RegKey HkeyLocalMachine = 0x80000002u;
inline constexpr RegKey HkeyUsers = 0x80000003u;

using RegAccess = std::uint32_t;
inline constexpr RegAccess KeyRead = 0x20019;
inline constexpr RegAccess KeyWrite = 0x20006;
inline constexpr RegAccess KeyReadWrite = 0x2001F;
inline constexpr RegAccess KeyAllAccess = 0xF003F;

using RegType = std::uint32_t;
inline constexpr RegType RegNone = 0;
inline constexpr RegType RegSz = 1;
inline constexpr RegType RegExpandSz = 2;
inline constexpr RegType RegDword = 4;

inline constexpr std::uint32_t RegOptionNonVolatile = 0;

// MAX_SHUTDOWN_TIMEOUT: the longest timeout, ten years in seconds, InitiateSystemShutdown takes.
inline constexpr std::uint32_t MaxShutdownTimeout = 10 * 365 * 24 * 60 * 60;

// Error codes (GetLastError and the registry's return values).
using ErrorCode = std::uint32_t;
inline constexpr ErrorCode ErrorSuccess = 0;
inline constexpr ErrorCode ErrorFileNotFound = 2;
inline constexpr ErrorCode ErrorPathNotFound = 3;
inline constexpr ErrorCode ErrorAccessDenied = 5;
inline constexpr ErrorCode ErrorInvalidHandle = 6;
inline constexpr ErrorCode ErrorNotEnoughMemory = 8;
inline constexpr ErrorCode ErrorSharingViolation = 32;
inline constexpr ErrorCode ErrorLockViolation = 33;
inline constexpr ErrorCode ErrorFileExists = 80;
inline constexpr ErrorCode ErrorDiskFull = 112;
inline constexpr ErrorCode ErrorInvalidData = 13;
inline constexpr ErrorCode ErrorNotSupported = 50;
inline constexpr ErrorCode ErrorInvalidName = 123;
inline constexpr ErrorCode ErrorProcNotFound = 127;
inline constexpr ErrorCode ErrorBusy = 170;
inline constexpr ErrorCode ErrorAlreadyExists = 183;
inline constexpr ErrorCode ErrorUnhandledException = 574;
inline constexpr ErrorCode ErrorFileTooLarge = 223;
inline constexpr ErrorCode ErrorMoreData = 234;
inline constexpr ErrorCode ErrorNoMoreItems = 259;
inline constexpr ErrorCode ErrorNotAllAssigned = 1300;
inline constexpr ErrorCode ErrorNoShutdownInProgress = 1116;
inline constexpr ErrorCode ErrorCancelled = 1223;
inline constexpr ErrorCode ErrorNoSuchPrivilege = 1313;
inline constexpr ErrorCode ErrorNoNetwork = 1222;
inline constexpr ErrorCode ErrorNotFound = 1168;
// What FormatMessageA leaves when it has no text for a code at all, and when the text exists but
// not in the language asked for (a localised system without the US-English resources).
inline constexpr ErrorCode ErrorMrMidNotFound = 317;
inline constexpr ErrorCode ErrorMuiFileNotFound = 15100;

// GetVersionExA.
inline constexpr std::uint32_t VerPlatformWin32Windows = 1;
inline constexpr std::uint32_t VerPlatformWin32Nt = 2;
inline constexpr std::uint8_t VerNtWorkstation = 1;
inline constexpr std::uint32_t OsVersionInfoSize = 148;
inline constexpr std::uint32_t OsVersionInfoExSize = 156;

inline constexpr std::uint16_t ProcessorArchitectureAmd64 = 9;
inline constexpr int SmServerR2 = 89;

// Token rights, privilege attributes and language ids.
inline constexpr std::uint32_t TokenAdjustPrivileges = 0x20;
inline constexpr std::uint32_t TokenQuery = 0x8;
inline constexpr std::uint32_t SePrivilegeEnabled = 2;
inline constexpr std::uint32_t LangEnglishUs = 0x409;
inline constexpr std::uint32_t LangUserDefault = 0x400;

// MessageBoxA styles and answers.
using MessageBoxStyle = std::uint32_t;
inline constexpr MessageBoxStyle MbOk = 0x0;
inline constexpr MessageBoxStyle MbOkCancel = 0x1;
inline constexpr MessageBoxStyle MbYesNoCancel = 0x3;
inline constexpr MessageBoxStyle MbYesNo = 0x4;
inline constexpr MessageBoxStyle MbIconError = 0x10;
inline constexpr MessageBoxStyle MbIconWarning = 0x30;
inline constexpr MessageBoxStyle MbIconInformation = 0x40;
inline constexpr int IdOk = 1;
inline constexpr int IdCancel = 2;
inline constexpr int IdYes = 6;
inline constexpr int IdNo = 7;
// What a box that closed by itself answers, as MessageBoxTimeout tells it.
inline constexpr int IdTimedOut = 32000;

// SetErrorMode.
inline constexpr std::uint32_t SemNoGpFaultErrorBox = 2;
inline constexpr std::uint32_t SemNoAlignmentFaultExcept = 4;

inline constexpr MessageBoxStyle MbIconQuestion = 0x20;
inline constexpr std::uint32_t SwShowNormal = 1;

// Network provider: resource scopes, types, display types and usages.
inline constexpr std::uint32_t ResourceGlobalNet = 2;
inline constexpr std::uint32_t ResourceContext = 5;
inline constexpr std::uint32_t ResourceTypeAny = 0;
inline constexpr std::uint32_t ResourceDisplayTypeGeneric = 0;
inline constexpr std::uint32_t ResourceDisplayTypeServer = 2;
inline constexpr std::uint32_t ResourceUsageConnectable = 1;
// WNetOpenEnumA takes 0 as "every usage".
inline constexpr std::uint32_t ResourceUsageEvery = 0;

// Notification area. NOTIFYICONDATAA in its Windows 2000 layout is 488 bytes with 32-bit
// pointers and 504 with 64-bit ones.
inline constexpr std::uint32_t NotifyIconDataV2Size = sizeof(void*) == 8 ? 504 : 488;
inline constexpr std::uint32_t NimAdd = 0;
inline constexpr std::uint32_t NimModify = 1;
inline constexpr std::uint32_t NimDelete = 2;
inline constexpr std::uint32_t NimSetFocus = 3;
inline constexpr std::uint32_t NimSetVersion = 4;
inline constexpr std::uint32_t NifMessage = 1;
inline constexpr std::uint32_t NifIcon = 2;
inline constexpr std::uint32_t NifTip = 4;
// Version 4 hides the standard tooltip unless asked for it.
inline constexpr std::uint32_t NifShowTip = 0x80;
// How the icon reports to its window: version 0 (Windows 95) sends mouse messages only;
// version 3 (Windows 2000) adds the keyboard's NIN_SELECT, NIN_KEYSELECT and WM_CONTEXTMENU;
// version 4 (Vista) also sends the icon's anchor point, with the event and the icon's id in
// the other parameter.
inline constexpr std::uint32_t NotifyIconVersion3 = 3;
inline constexpr std::uint32_t NotifyIconVersion4 = 4;
// The keyboard's events of versions 3 and 4: Space (NIN_SELECT, also a click) and Enter.
inline constexpr std::uint32_t NinSelect = 0x0400;
inline constexpr std::uint32_t NinKeySelect = 0x0401;
// The edges of the screen the taskbar can lie along (ABE_*).
enum class ScreenEdge : std::uint32_t { Left = 0, Top = 1, Right = 2, Bottom = 3 };

// HTML Help commands.
inline constexpr std::uint32_t HhDisplayToc = 1;
inline constexpr std::uint32_t HhInitialize = 0x1C;
inline constexpr std::uint32_t HhUninitialize = 0x1D;

// WinINet.
inline constexpr std::uint32_t InternetOpenTypePreconfig = 0;
inline constexpr std::uint32_t InternetFlagReload = 0x80000000u;
inline constexpr std::uint32_t InternetFlagNoCacheWrite = 0x04000000u;
inline constexpr std::uint32_t InternetFlagNoUi = 0x00000200u;
inline constexpr std::uint32_t HttpQueryStatusCode = 19;
inline constexpr std::uint32_t HttpQueryFlagNumber = 0x20000000u;

// File attributes and the part of a security descriptor that says who may use the file.
inline constexpr std::uint32_t InvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr std::uint32_t FileAttributeReadOnly = 0x1;
inline constexpr std::uint32_t FileAttributeHidden = 0x2;
inline constexpr std::uint32_t FileAttributeSystem = 0x4;
inline constexpr std::uint32_t FileAttributeArchive = 0x20;
inline constexpr std::uint32_t FileAttributeNormal = 0x80;
inline constexpr std::uint32_t FileAttributeNotContentIndexed = 0x2000;
inline constexpr std::uint32_t OwnerSecurityInformation = 0x1;
inline constexpr std::uint32_t DaclSecurityInformation = 0x4;

// Code pages: the one a manifest can make the program's ANSI code page.
inline constexpr std::uint32_t CpUtf8 = 65001;

// GetComputerNameExA name types.
inline constexpr std::uint32_t ComputerNameDnsHostname = 1;
inline constexpr std::uint32_t ComputerNameDnsFullyQualified = 3;

// Consoles: the one of the process that started this one, and the standard output handle.
inline constexpr std::uint32_t AttachParentProcess = 0xFFFFFFFFu;
inline constexpr std::uint32_t StdOutputHandle = 0xFFFFFFF5u;

// Windows' LDAP client: the port, search scope, bind method, options and result codes.
inline constexpr std::uint32_t LdapPort = 389;
inline constexpr std::uint32_t LdapScopeSubtree = 2;
inline constexpr std::uint32_t LdapAuthNegotiate = 0x486;
inline constexpr std::uint32_t LdapOptReferrals = 0x08;
inline constexpr std::uint32_t LdapOptProtocolVersion = 0x11;
inline constexpr std::uint32_t LdapOptSign = 0x95;
inline constexpr std::uint32_t LdapVersion3 = 3;
inline constexpr std::uint32_t LdapSuccess = 0;
inline constexpr std::uint32_t LdapNoSuchObject = 0x20;
inline constexpr std::uint32_t LdapInvalidCredentials = 0x31;
inline constexpr std::uint32_t LdapServerDown = 0x51;
inline constexpr std::uint32_t LdapTimeout = 0x55;
inline constexpr std::uint32_t LdapUserCancelled = 0x58;

// Lengths Windows fixes.
inline constexpr std::uint32_t MaxComputerNameLength = 15;
inline constexpr std::uint32_t MaxDnsNameLength = 255;
inline constexpr std::uint32_t MaxPath = 260;

} // namespace win
