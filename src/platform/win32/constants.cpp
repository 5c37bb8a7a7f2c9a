// The constants the program shares with the fake Windows are spelled out in winconst.h; here the
// compiler holds each of them to the value the Windows headers give.

#include "platform/kernel.h"
#include "platform/winconst.h"

#include <windows.h>

#include <htmlhelp.h>
#include <shellapi.h>
#include <wininet.h>
#include <winldap.h>
#include <winnetwk.h>

static_assert(win::EwxLogOff == EWX_LOGOFF);
static_assert(win::EwxShutdown == EWX_SHUTDOWN);
static_assert(win::EwxReboot == EWX_REBOOT);
static_assert(win::EwxForce == EWX_FORCE);
static_assert(win::EwxPowerOff == EWX_POWEROFF);

static_assert(win::KeyRead == KEY_READ);
static_assert(win::KeyWrite == KEY_WRITE);
static_assert(win::KeyReadWrite == (KEY_READ | KEY_WRITE));
static_assert(win::KeyAllAccess == KEY_ALL_ACCESS);
static_assert(win::RegNone == REG_NONE);
static_assert(win::RegSz == REG_SZ);
static_assert(win::RegExpandSz == REG_EXPAND_SZ);
static_assert(win::RegDword == REG_DWORD);
static_assert(win::RegOptionNonVolatile == REG_OPTION_NON_VOLATILE);

static_assert(win::ErrorSuccess == ERROR_SUCCESS);
static_assert(win::ErrorFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(win::ErrorPathNotFound == ERROR_PATH_NOT_FOUND);
static_assert(win::ErrorAccessDenied == ERROR_ACCESS_DENIED);
static_assert(win::ErrorInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(win::ErrorSharingViolation == ERROR_SHARING_VIOLATION);
static_assert(win::ErrorFileExists == ERROR_FILE_EXISTS);
static_assert(win::ErrorDiskFull == ERROR_DISK_FULL);
static_assert(win::ErrorNotSupported == ERROR_NOT_SUPPORTED);
static_assert(win::ErrorInvalidName == ERROR_INVALID_NAME);
static_assert(win::ErrorProcNotFound == ERROR_PROC_NOT_FOUND);
static_assert(win::ErrorAlreadyExists == ERROR_ALREADY_EXISTS);
static_assert(win::ErrorFileTooLarge == ERROR_FILE_TOO_LARGE);
static_assert(win::ErrorMoreData == ERROR_MORE_DATA);
static_assert(win::ErrorNoMoreItems == ERROR_NO_MORE_ITEMS);
static_assert(win::ErrorNotAllAssigned == ERROR_NOT_ALL_ASSIGNED);
static_assert(win::ErrorNoShutdownInProgress == ERROR_NO_SHUTDOWN_IN_PROGRESS);
static_assert(win::ErrorCancelled == ERROR_CANCELLED);
static_assert(win::ErrorNoSuchPrivilege == ERROR_NO_SUCH_PRIVILEGE);
static_assert(win::ErrorNoNetwork == ERROR_NO_NETWORK);
static_assert(win::ErrorNotFound == ERROR_NOT_FOUND);
static_assert(win::ErrorMrMidNotFound == ERROR_MR_MID_NOT_FOUND);
static_assert(win::ErrorMuiFileNotFound == ERROR_MUI_FILE_NOT_FOUND);

static_assert(win::VerPlatformWin32Windows == VER_PLATFORM_WIN32_WINDOWS);
static_assert(win::VerPlatformWin32Nt == VER_PLATFORM_WIN32_NT);
static_assert(win::VerNtWorkstation == VER_NT_WORKSTATION);
static_assert(win::OsVersionInfoSize == sizeof(OSVERSIONINFOA));
static_assert(win::OsVersionInfoExSize == sizeof(OSVERSIONINFOEXA));
static_assert(sizeof(platform::OsVersionInfo::csdVersion) ==
              sizeof(OSVERSIONINFOEXA{}.szCSDVersion));

static_assert(win::ProcessorArchitectureAmd64 == PROCESSOR_ARCHITECTURE_AMD64);
static_assert(win::SmServerR2 == SM_SERVERR2);

static_assert(win::TokenAdjustPrivileges == TOKEN_ADJUST_PRIVILEGES);
static_assert(win::TokenQuery == TOKEN_QUERY);
static_assert(win::SePrivilegeEnabled == SE_PRIVILEGE_ENABLED);
static_assert(win::LangEnglishUs == MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
static_assert(win::LangUserDefault == LANG_USER_DEFAULT);

static_assert(win::MbOk == MB_OK);
static_assert(win::MbOkCancel == MB_OKCANCEL);
static_assert(win::MbYesNoCancel == MB_YESNOCANCEL);
static_assert(win::MbIconInformation == MB_ICONINFORMATION);
static_assert(win::MbIconQuestion == MB_ICONQUESTION);
static_assert(win::IdOk == IDOK);
static_assert(win::IdCancel == IDCANCEL);
static_assert(win::IdYes == IDYES);
static_assert(win::IdNo == IDNO);
static_assert(win::IdTimedOut == IDTIMEOUT);

static_assert(win::SemNoGpFaultErrorBox == SEM_NOGPFAULTERRORBOX);
static_assert(win::SemNoAlignmentFaultExcept == SEM_NOALIGNMENTFAULTEXCEPT);
static_assert(win::SwShowNormal == SW_SHOWNORMAL);

static_assert(win::ResourceGlobalNet == RESOURCE_GLOBALNET);
static_assert(win::ResourceContext == RESOURCE_CONTEXT);
static_assert(win::ResourceTypeAny == RESOURCETYPE_ANY);
static_assert(win::ResourceDisplayTypeGeneric == RESOURCEDISPLAYTYPE_GENERIC);
static_assert(win::ResourceDisplayTypeServer == RESOURCEDISPLAYTYPE_SERVER);
static_assert(win::ResourceUsageConnectable == RESOURCEUSAGE_CONNECTABLE);
// WNetOpenEnum reads a usage of zero as "every kind of resource"; RESOURCEUSAGE_ALL is a mask
// of the individual kinds and not the same number.
static_assert(win::ResourceUsageEvery == 0);

static_assert(win::NimAdd == NIM_ADD);
static_assert(win::NimDelete == NIM_DELETE);
static_assert(win::NifMessage == NIF_MESSAGE);
static_assert(win::NifIcon == NIF_ICON);
static_assert(win::NifTip == NIF_TIP);
// The record size differs between 32-bit and 64-bit programs.
static_assert(win::NotifyIconDataV2Size == NOTIFYICONDATAA_V2_SIZE);

static_assert(win::HhDisplayToc == HH_DISPLAY_TOC);
static_assert(win::HhInitialize == HH_INITIALIZE);
static_assert(win::HhUninitialize == HH_UNINITIALIZE);

static_assert(win::InternetOpenTypePreconfig == INTERNET_OPEN_TYPE_PRECONFIG);
static_assert(win::InternetFlagReload == INTERNET_FLAG_RELOAD);
static_assert(win::InternetFlagNoCacheWrite == INTERNET_FLAG_NO_CACHE_WRITE);
static_assert(win::InternetFlagNoUi == INTERNET_FLAG_NO_UI);
static_assert(win::HttpQueryStatusCode == HTTP_QUERY_STATUS_CODE);
static_assert(win::HttpQueryFlagNumber == HTTP_QUERY_FLAG_NUMBER);

static_assert(win::InvalidFileAttributes == INVALID_FILE_ATTRIBUTES);
static_assert(win::FileAttributeReadOnly == FILE_ATTRIBUTE_READONLY);
static_assert(win::FileAttributeHidden == FILE_ATTRIBUTE_HIDDEN);
static_assert(win::FileAttributeSystem == FILE_ATTRIBUTE_SYSTEM);
static_assert(win::FileAttributeArchive == FILE_ATTRIBUTE_ARCHIVE);
static_assert(win::FileAttributeNormal == FILE_ATTRIBUTE_NORMAL);
static_assert(win::FileAttributeNotContentIndexed == FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
static_assert(win::OwnerSecurityInformation == OWNER_SECURITY_INFORMATION);
static_assert(win::DaclSecurityInformation == DACL_SECURITY_INFORMATION);
static_assert(win::CpUtf8 == CP_UTF8);

static_assert(win::ComputerNameDnsHostname == ComputerNameDnsHostname);
static_assert(win::ComputerNameDnsFullyQualified == ComputerNameDnsFullyQualified);
static_assert(win::MaxComputerNameLength == MAX_COMPUTERNAME_LENGTH);
static_assert(win::MaxPath == MAX_PATH);

static_assert(win::AttachParentProcess == ATTACH_PARENT_PROCESS);
static_assert(win::StdOutputHandle == STD_OUTPUT_HANDLE);

static_assert(sizeof(win::Handle) == sizeof(HANDLE));
static_assert(sizeof(win::RegKey) == sizeof(HKEY));

static_assert(win::LdapPort == LDAP_PORT);
static_assert(win::LdapScopeSubtree == LDAP_SCOPE_SUBTREE);
static_assert(win::LdapAuthNegotiate == LDAP_AUTH_NEGOTIATE);
static_assert(win::LdapOptReferrals == LDAP_OPT_REFERRALS);
static_assert(win::LdapOptProtocolVersion == LDAP_OPT_PROTOCOL_VERSION);
static_assert(win::LdapOptSign == LDAP_OPT_SIGN);
static_assert(win::LdapVersion3 == LDAP_VERSION3);
static_assert(win::LdapSuccess == LDAP_SUCCESS);
static_assert(win::LdapNoSuchObject == LDAP_NO_SUCH_OBJECT);
static_assert(win::LdapTimeout == LDAP_TIMEOUT);
static_assert(win::LdapUserCancelled == LDAP_USER_CANCELLED);
static_assert(win::LdapInvalidCredentials == LDAP_INVALID_CREDENTIALS);
static_assert(win::LdapServerDown == LDAP_SERVER_DOWN);
