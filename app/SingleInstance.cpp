#include "SingleInstance.h"

#include <sddl.h>

#include <string>
#include <string_view>
#include <vector>

#include "MinApp.h"

namespace {

constexpr wchar_t NamespacePrefix[] = L"TrayVolumeMounter";
constexpr wchar_t InstanceName[] = L"TrayVolumeMounter.Instance";
// How long a second start waits for the first one's window and its answer.
constexpr ULONGLONG RunningInstanceWaitMs = 3000;
constexpr UINT AnswerWaitMs = 2000;

// The TOKEN_USER of the process, empty when it cannot be read (another
// user's process usually cannot be opened at all).
std::vector<BYTE> ProcessUser(HANDLE Process) {
  HANDLE Token = nullptr;
  if (!OpenProcessToken(Process, TOKEN_QUERY, &Token)) return {};
  const TKernelHandle Owned(Token);
  DWORD Size = 0;
  GetTokenInformation(Token, TokenUser, nullptr, 0, &Size);
  std::vector<BYTE> User(Size);
  if (Size == 0 || !GetTokenInformation(Token, TokenUser, User.data(), Size, &Size)) return {};
  return User;
}

PSID SidOf(std::vector<BYTE>& User) { return reinterpret_cast<TOKEN_USER*>(User.data())->User.Sid; }

// The hidden window of a running instance whose process belongs to this
// user, or nullptr.
HWND OwnUsersInstanceWindow() {
  struct Search {
    std::vector<BYTE> Own = ProcessUser(GetCurrentProcess());
    HWND Found = nullptr;
  } S;
  if (S.Own.empty()) return nullptr;
  EnumWindows(
      [](HWND Window, LPARAM Param) -> BOOL {
        auto& S = *reinterpret_cast<Search*>(Param);
        wchar_t Class[64] = {};
        GetClassNameW(Window, Class, 64);
        if (std::wstring_view(Class) != MinApplicationClassName) return TRUE;
        DWORD Pid = 0;
        GetWindowThreadProcessId(Window, &Pid);
        const TKernelHandle Process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, Pid));
        std::vector<BYTE> User = Process ? ProcessUser(Process.get()) : std::vector<BYTE>();
        if (User.empty() || !EqualSid(SidOf(User), SidOf(S.Own))) return TRUE;
        S.Found = Window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&S));
  return S.Found;
}

}  // namespace

TInstanceLock::TInstanceLock() {
  std::vector<BYTE> User = ProcessUser(GetCurrentProcess());
  if (User.empty()) return;
  PSID Sid = SidOf(User);
  HANDLE Boundary = CreateBoundaryDescriptorW(NamespacePrefix, 0);
  if (Boundary && AddSIDToBoundaryDescriptor(&Boundary, Sid)) {
    Namespace = CreatePrivateNamespaceW(nullptr, Boundary, NamespacePrefix);
    if (!Namespace && GetLastError() == ERROR_ALREADY_EXISTS)
      Namespace = OpenPrivateNamespaceW(Boundary, NamespacePrefix);
  }
  if (Boundary) DeleteBoundaryDescriptor(Boundary);

  std::wstring Name;
  if (Namespace) {
    Name = std::wstring(NamespacePrefix) + L"\\" + InstanceName;
  } else {
    wchar_t* SidText = nullptr;
    if (!ConvertSidToStringSidW(Sid, &SidText)) return;
    Name = std::wstring(L"Local\\") + InstanceName + L"." + SidText;
    LocalFree(SidText);
  }
  Mutex.reset(CreateMutexW(nullptr, TRUE, Name.c_str()));
  FHeldElsewhere = Mutex && GetLastError() == ERROR_ALREADY_EXISTS;
}

// A held mutex must be released: closing it leaves it owned until the
// thread ends. Releasing one this start does not hold fails harmlessly.
TInstanceLock::~TInstanceLock() {
  if (Mutex) ReleaseMutex(Mutex.get());
  Mutex.reset();
  if (Namespace) ClosePrivateNamespace(Namespace, 0);
}

bool TInstanceLock::Take() const {
  const DWORD Wait = WaitForSingleObject(Mutex.get(), 0);
  return Wait == WAIT_OBJECT_0 || Wait == WAIT_ABANDONED;
}

// The first may still be starting, so its window is waited for; if it ends
// meanwhile, this start takes over.
THandOver HandOverToRunningInstance(const TInstanceLock& Lock, UINT Message) {
  const ULONGLONG End = GetTickCount64() + RunningInstanceWaitMs;
  do {
    if (Lock.Take()) return THandOver::TookOver;
    if (HWND Running = OwnUsersInstanceWindow()) {
      DWORD_PTR Answer = 0;
      return SendMessageTimeoutW(Running, Message, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG, AnswerWaitMs, &Answer)
                 ? THandOver::Told
                 : THandOver::NoAnswer;
    }
    Sleep(50);
  } while (GetTickCount64() < End);
  return THandOver::NoAnswer;
}
