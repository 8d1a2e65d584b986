// What a volume refresh costs under Wine with every free letter D..Y mapped
// as a drive: a refresh that finds nothing changed, against the bare cost of
// the drive-type and file-time calls it must make; and refreshes that re-read
// every ".tcvinfo.ini" holding 1, 10 and 100 volumes each.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ConfigFiles.h"
#include "Files.h"
#include "MinApp.h"
#include "ProfileCodePage.h"
#include "Scoped.h"
#include "Text.h"
#include "FileTimes.h"
#include "StandinControl.h"
#include "TestSupport.h"
#include "Text.h"
#include "UnitStartup.h"
#include "SilentHost.h"
#include "VolumeControl.h"

namespace {

double Now() {
  static LARGE_INTEGER Frequency = [] {
    LARGE_INTEGER F;
    QueryPerformanceFrequency(&F);
    return F;
  }();
  LARGE_INTEGER C;
  QueryPerformanceCounter(&C);
  return double(C.QuadPart) / double(Frequency.QuadPart);
}

// Milliseconds per call of Step in one round.
template <class F>
double Round(int Calls, F Step) {
  double Start = Now();
  for (int I = 0; I < Calls; ++I) Step();
  return (Now() - Start) * 1000.0 / Calls;
}

// The calls a refresh cannot do without: the drive types of A..Z twice, and
// the time of every ".tcvinfo.ini" and of the settings file.
void BareCalls(const std::string& ScanList, const std::string& SettingsFile) {
  for (int Pass = 0; Pass < 2; ++Pass)
    for (char L = 'A'; L <= 'Z'; ++L) {
      const char Root[] = {L, ':', '\\', 0};
      GetDriveTypeA(Root);
    }
  for (char L : ScanList) GetLastWrite(VolumeConfigFileName(L));
  GetLastWrite(SettingsFile);
}

// The bytes of every ".tcvinfo.ini", read as bare as Windows allows, and
// (with Parse) taken apart into sections and keys, and each container looked
// for, as a re-read must.
void BareReads(const std::vector<std::unique_ptr<TestDrive>>& Drives, bool Parse) {
  for (const auto& Drive : Drives) {
    const TFileHandle File(CreateFileW(Utf8ToWide(VolumeConfigFileName(Drive->Letter())).c_str(), GENERIC_READ,
                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    std::string Bytes(1 << 16, '\0');
    DWORD Read = 0;
    ReadFile(File.get(), Bytes.data(), DWORD(Bytes.size()), &Read, nullptr);
    Bytes.resize(Read);
    if (!Parse) continue;
    const TProfileText Text(Bytes, AnsiProfileCodePage());
    const std::wstring Root = Utf8ToWide(std::string{Drive->Letter(), ':'});
    for (const std::string& Section : Text.Sections())
      GetFileAttributesW((Root + Utf8ToWide(Text.Read(Section, "File").value_or(""))).c_str());
  }
}

void WriteDefinitions(const std::vector<std::unique_ptr<ScratchFolder>>& Folders,
                      const std::vector<std::unique_ptr<TestDrive>>& Drives, int PerFile) {
  for (std::size_t D = 0; D < Drives.size(); ++D) {
    std::string Text;
    for (int V = 0; V < PerFile; ++V) {
      const std::string Name = "v" + std::to_string(V) + ".hc";
      ::WriteFileBytes(*Folders[D] / Name, "");
      Text += "[Volume " + std::to_string(V) + "]\r\nFile=\\" + Name +
              "\r\nLetter=T\r\nAuto=0\r\n"
              "FileSetModified=0\r\nDefaultPass=1\r\n\r\n";
    }
    const std::string Info = VolumeConfigFileName(Drives[D]->Letter());
    SetFileAttr(Info, FILE_ATTRIBUTE_NORMAL);
    ::WriteFileBytes(Info, Text);
  }
}

}  // namespace

int main() {
  InitUtilsUnit();
  VendorName = "VolumeRefreshBench";
  TMinApplication App("Volume refresh benchmark");
  TSilentHost Host;
  TVolumeControl Control(Host);
  Control.CryptProgram = {WideToUtf8(ProgramFilePath()), false, 119};
  if (!StartStandinDriver()) std::printf("stand-in driver not running: the mount list stays empty\n");

  std::vector<std::unique_ptr<ScratchFolder>> Folders;
  std::vector<std::unique_ptr<TestDrive>> Drives;
  for (char L = 'D'; L <= 'Y'; ++L) {
    if (DirExistsEx(std::string{L, ':', '\\'})) continue;
    Folders.push_back(std::make_unique<ScratchFolder>(std::string("bench-") + L));
    Drives.push_back(std::make_unique<TestDrive>(L, Folders.back()->Path(), WineDriveType::Fixed));
    if (!Drives.back()->Mapped()) std::printf("could not map %c:\n", L);
  }
  std::printf("drives mapped: %zu\n", Drives.size());

  const std::string ScanList = DrivesOfType(DriveTypeFixed) + DrivesOfType(DriveTypeRemovable) + AppDataMarker;
  const std::string SettingsFile = SettingsFileName();
  WriteDefinitions(Folders, Drives, 1);
  Control.RefreshVolumes();

  // Rounds of the two alternate, so both see the same load.
  double Bare = 1e9, NoChange = 1e9;
  for (int R = 0; R < 15; ++R) {
    Bare = std::min(Bare, Round(20, [&] { BareCalls(ScanList, SettingsFile); }));
    NoChange = std::min(NoChange, Round(20, [&] { Control.RefreshVolumes(); }));
  }
  std::printf("bare drive-type and file-time calls: %8.3f ms\n", Bare);
  std::printf("refresh, nothing changed:            %8.3f ms  (%.2fx the bare calls; target 2x)\n", NoChange,
              NoChange / Bare);

  double PerVolumeAt10 = 0, PerVolumeAt100 = 0;
  for (int PerFile : {1, 10, 100}) {
    WriteDefinitions(Folders, Drives, PerFile);
    const int Calls = PerFile == 100 ? 3 : PerFile == 10 ? 10 : 30;
    // The re-read is what a refresh that reads every file costs beyond one
    // that reads none. It is a few milliseconds beside a scan of tens, so
    // each round of the one is paired with a round of the other under the
    // same load, and the median difference of the pairs is taken.
    std::vector<double> Differences;
    double Reread = 1e9, Read = 1e9, ReadParse = 1e9;
    for (int R = 0; R < 15; ++R) {
      const double Changed = Round(Calls, [&] {
        Control.SysVolumes.clear();  // the next scan differs, so every file is read again
        Control.RefreshVolumes();
      });
      Differences.push_back(Changed - Round(Calls, [&] { Control.RefreshVolumes(); }));
      Reread = std::min(Reread, Changed);
      Read = std::min(Read, Round(Calls, [&] { BareReads(Drives, false); }));
      ReadParse = std::min(ReadParse, Round(Calls, [&] { BareReads(Drives, true); }));
    }
    std::nth_element(Differences.begin(), Differences.begin() + Differences.size() / 2, Differences.end());
    const double Count = double(std::max<std::size_t>(Control.Volumes.size(), 1));
    const double PerVolume = Differences[Differences.size() / 2] / Count;
    std::printf("refresh re-reading %3d volumes a file: %9.3f ms, %4.0f volumes, %.4f ms a volume\n", PerFile, Reread,
                Count, PerVolume);
    std::printf(
        "  bare CreateFileW + ReadFile of the files: %.4f ms a volume; with the parse and the container"
        " look-up %.4f ms a volume (re-read %.2fx that; target 2x at 10)\n",
        Read / Count, ReadParse / Count, PerVolume / (ReadParse / Count));
    if (PerFile == 10) PerVolumeAt10 = PerVolume;
    if (PerFile == 100) PerVolumeAt100 = PerVolume;
  }
  std::printf("cost a volume, 100 against 10 a file: %.2fx (target 2x)\n", PerVolumeAt100 / PerVolumeAt10);

  for (const auto& Drive : Drives) {
    const std::string Info = VolumeConfigFileName(Drive->Letter());
    SetFileAttr(Info, FILE_ATTRIBUTE_NORMAL);
  }
  return 0;
}
