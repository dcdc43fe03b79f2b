// The three mode recipes on made-up machines that have something at every
// place a recipe visits, plus decoys beside them. Each expected list is written
// in the recipe's step order (and, within one search, in name order).
#include "engine/mode_scans.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/catalogue_tables.h"
#include "support/fake_machine.h"
#include "support/recording_sink.h"

namespace klarex {
namespace {

using test::CollectingSink;
using test::FakeMachine;
using test::UniqueName;
using Paths = std::vector<std::wstring>;

// Plants what a recipe should find, in the order it should find it, and decoys
// that it must not find; removes everything it created.
class Plan {
 public:
  void Find(const std::wstring& path, size_t size = 1) {
    m_planted.File(path, size);
    expected.push_back(path);
  }
  void FindFolder(const std::wstring& path) {
    m_planted.File(path + L"\\inside.dat");
    Again(path, true);
  }
  // Expects an item that an earlier step planted.
  void Again(const std::wstring& path, bool folder) {
    expected.push_back(path);
    if (folder) ++folderItems;
  }
  // Plants a decoy, or what a later Again expects.
  void Decoy(const std::wstring& path, size_t size = 1) { m_planted.File(path, size); }

  Paths expected;
  int folderItems = 0;

 private:
  test::PlantedOutside m_planted;
};

// A file name that the mask matches.
std::wstring Matching(const std::wstring& mask) {
  if (mask == L"*.*") return L"any.dat";
  if (mask == L"drv*.*") return L"drv01.bin";
  if (mask == L"*.log.*") return L"trace.log.001";
  return L"f" + mask.substr(1);  // "*.bak" -> "f.bak"
}

void WriteIni(const std::wstring& path, const wchar_t* section, const wchar_t* key,
              const wchar_t* value) {
  WritePrivateProfileStringW(section, key, value, path.c_str());
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
}

void DescribeDrives(FakeMachine& machine) {
  machine.SetDrive(L'A', DRIVE_REMOVABLE);
  machine.SetDrive(L'C', DRIVE_FIXED);
  machine.SetDrive(L'D', DRIVE_FIXED);
  machine.SetDrive(L'E', DRIVE_CDROM);
}

TEST(StandardScan, FindsEveryPlaceInRecipeOrderWithWindowsOnD) {
  FakeMachine machine(L"D:\\");  // ALLUSERSPROFILE and TMP unset
  DescribeDrives(machine);
  const std::wstring win = machine / L"Windows";
  const std::wstring roaming = machine / test::kRoamingDir;
  const std::wstring local = machine / test::kLocalDir;
  machine.SetRegistry(HKEY_LOCAL_MACHINE,
                      L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders\\" +
                          (machine / L"Program Files") +
                          L"\\Microsoft Office\\Office\\Shortcut Bar",
                      machine / L"Office\\Shortcut Bar");
  machine.SetRegistry(HKEY_LOCAL_MACHINE,
                      L"SOFTWARE\\Mirabilis\\ICQ\\ICQPro\\Install\\General\\InstalledDir",
                      machine / L"ICQ");
  Plan plan;
  // 1: masks in the Windows folder.
  for (const wchar_t* name : {L"setup.bak", L"wall.bmp", L"crash.dmp", L"setup.log", L"win.old",
                              L"x.tmp", L"notes.txt", L"progman.ini", L"winfile.ini"})
    plan.Find(win + L"\\" + name);
  plan.Decoy(win + L"\\explorer.exe");
  // Names whose short (8.3) names end in a listed extension: a user's files.
  for (const wchar_t* name : {L"thesis.logbook", L"budget.tmpl", L"photos.bakery"})
    plan.Decoy(win + L"\\" + name);
  // 2: (subfolder, mask) pairs.
  for (const auto& [folder, mask] : test::kWinDirSubfolderMasks)
    plan.Find(win + L"\\" + folder + L"\\" + Matching(mask));
  plan.Decoy(win + L"\\Inf\\keep.inf");
  // 3: everything in Msdtc but MSDTC.LOG, subfolders included.
  plan.Decoy(win + L"\\System32\\Msdtc\\MSDTC.LOG");
  plan.Find(win + L"\\System32\\Msdtc\\dtc.txt");
  plan.Again(win + L"\\System32\\Msdtc\\Trace", true);
  // 4-6: on the Windows drive D:.
  plan.FindFolder(L"D:\\ProgramData\\Microsoft\\Windows Defender\\Scans");
  plan.FindFolder(L"D:\\ProgramData\\Microsoft\\Windows Defender\\Support");
  for (const wchar_t* folder : test::kLegacyIeFolders)
    plan.Find(std::wstring(L"D:\\") + folder + L"\\f.bak");
  // 7
  plan.Find(roaming + L"\\Microsoft\\Internet Explorer\\f.bak");
  plan.Decoy(roaming + L"\\Microsoft\\Internet Explorer\\f.dat");
  // 8-9: drive C: whatever the Windows drive is.
  const std::wstring unique = UniqueName(L"klarex");
  plan.Find(L"C:\\" + unique + L".old");
  plan.Find(L"C:\\Boot\\" + unique + L".log");
  plan.Decoy(L"D:\\Boot\\" + unique + L".log");
  // 10
  for (const wchar_t* folder : test::kWinDirFolders) plan.FindFolder(win + L"\\" + folder);
  // 11 is skipped without ALLUSERSPROFILE.
  plan.Decoy(machine / L"ProgramData\\Documents and Settings\\Dr Watson\\x.log");
  plan.Decoy(win + L"\\Temp\\x.tmp");
  // 12
  for (const wchar_t* folder : test::kAppDataFolders) plan.FindFolder(roaming + L"\\" + folder);
  // 13-19
  plan.Find(local + L"\\Microsoft\\Windows\\Explorer\\thumbcache_32.db");
  plan.Find(local + L"\\Microsoft\\Windows\\Explorer\\thumbcache_idx.db");
  plan.Decoy(local + L"\\Microsoft\\Windows\\Explorer\\iconcache_32.db");
  plan.Find(machine / L"Program Files\\Directx\\dxsetup.log");
  plan.Decoy(machine / L"Office\\Shortcut Bar\\keep.doc");
  plan.Find(machine / L"Office\\Shortcut Bar\\~x.tmp");
  plan.Find(machine / L"ICQ\\AteBrowser\\page.htm");
  plan.Find(machine / L"Users\\u\\Music\\music.m3u");
  plan.Decoy(machine / L"Users\\u\\Music\\song.mp3");
  plan.Find(local + L"\\Microsoft\\CLR_v4.0\\f.log");
  plan.Find(local + L"\\Microsoft\\CLR_v4.0_32\\f.log");
  // 20-26: trees.
  plan.Decoy(local + L"\\Adobe\\Acrobat\\9.0\\empty.lst", 0);
  plan.Find(local + L"\\Adobe\\Acrobat\\9.0\\x.lst");
  plan.Find(roaming + L"\\Nero\\Burn\\burn.log");
  plan.Decoy(roaming + L"\\Nero\\Other\\logfile.txt");
  plan.Find(roaming + L"\\Nero\\Sub\\LogFile.txt");
  plan.Find(win + L"\\Panther\\setupact.log");
  plan.Find(win + L"\\ServiceProfiles\\LocalService\\x.log");
  plan.Find(win + L"\\Microsoft.NET\\Framework\\v4\\ngen.log");
  plan.Find(win + L"\\Microsoft.NET\\Framework64\\v4\\ngen.log");
  // 27 is skipped without TMP. 28: fixed drives C: and D: only, in that order.
  plan.Find(L"C:\\" + unique + L".chk");
  plan.Find(L"C:\\" + unique + L".log");
  plan.Find(L"D:\\" + unique + L".bak");
  plan.Find(L"D:\\" + unique + L".tmp");
  plan.Decoy(L"C:\\" + unique + L".chkpt");
  plan.Decoy(L"D:\\" + unique + L".logbook");
  plan.FindFolder(L"D:\\Found.002");

  CollectingSink found;
  ScanMode(CleaningMode::Standard, BuildCatalogue(machine), machine, found);
  EXPECT_EQ(found.Paths(), plan.expected);
  EXPECT_EQ(found.Folders(), plan.folderItems);
  EXPECT_EQ(found.ends, 1);
}

TEST(StandardScan, AllUsersStepAndTempNeedTheirVariables) {
  FakeMachine machine;
  machine.environment[L"ALLUSERSPROFILE"] = machine / L"ProgramData";
  machine.environment[L"TMP"] = machine / L"Users\\u\\Temp";
  Plan plan;
  for (const wchar_t* folder : test::kAllUsersFolders)
    plan.FindFolder(machine / L"ProgramData\\" + folder);
  plan.FindFolder(machine / L"Windows\\Temp");
  plan.FindFolder(machine / L"Users\\u\\Temp");

  CollectingSink found;
  ScanStandard(BuildCatalogue(machine), machine, found);
  EXPECT_EQ(found.Paths(), plan.expected);
}

// The Cookies and Offline recipes share one made-up machine with browsers.
class BrowserMachine : public ::testing::Test {
 protected:
  BrowserMachine()
      : win(machine / L"Windows"),
        roaming(machine / test::kRoamingDir),
        local(machine / test::kLocalDir),
        firefox(roaming + L"\\Mozilla\\Firefox\\Profiles\\x.default"),
        firefoxLocal(local + L"\\Mozilla\\Firefox\\Profiles\\x.default"),
        mozilla(roaming + L"\\Mozilla\\Profiles\\default\\abcd.slt"),
        chrome(roaming + L"\\Google\\Chrome\\User Data\\Default"),
        opera(roaming + L"\\Opera\\Opera\\profile"),
        edgeAc(local + L"\\Packages\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\AC"),
        netscape(machine / L"Netscape") {
    machine.SetRegistry(
        HKEY_LOCAL_MACHINE,
        L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Netscape.exe\\Path",
        netscape + L"\\Communicator\\Program");
    WriteIni(machine.File(std::wstring(test::kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini"),
             L"Profile0", L"Path", L"Profiles/x.default");
    for (const auto& folder : {firefox, firefoxLocal, mozilla, chrome, opera, edgeAc})
      CreateFolders(folder);
  }

  void CreateFolders(const std::wstring& path) {
    for (size_t pos = 3; (pos = path.find(L'\\', pos)) != std::wstring::npos; ++pos)
      CreateDirectoryW(path.substr(0, pos).c_str(), nullptr);
    CreateDirectoryW(path.c_str(), nullptr);
  }

  void SetEdgeChildren(const std::vector<std::pair<std::wstring, std::wstring>>& values) {
    const std::wstring children =
        L"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\CurrentVersion\\"
        L"AppContainer\\Storage\\Microsoft.MicrosoftEdge_8wekyb3d8bbwe\\Children";
    std::vector<std::wstring> names;
    for (const auto& [childAndCache, path] : values) {
      const std::wstring child = childAndCache.substr(0, childAndCache.find(L'|'));
      if (names.empty() || names.back() != child) names.push_back(child);
      machine.SetRegistry(HKEY_CURRENT_USER,
                          children + L"\\" + child +
                              L"\\Internet Settings\\Cache\\Extensible Cache\\" +
                              childAndCache.substr(child.size() + 1) + L"\\CachePath",
                          path);
    }
    machine.SetSubkeys(children, names);
  }

  FakeMachine machine;
  const std::wstring win, roaming, local, firefox, firefoxLocal, mozilla, chrome, opera, edgeAc,
      netscape;
};

TEST_F(BrowserMachine, CookiesScanFindsEveryStoreInRecipeOrder) {
  SetEdgeChildren({{L"c1|DOMStore", machine / L"Edge\\DOMStore1"},
                   {L"c2|DOMStore", machine / L"Edge\\missing"},
                   {L"c3|iecompat", machine / L"Edge\\DOMStore1"}});  // c3: no DOMStore value
  Plan plan;
  plan.Decoy(local + L"\\Microsoft\\Windows\\INetCookies\\index.dat");
  plan.Find(local + L"\\Microsoft\\Windows\\INetCookies\\user@site.txt");
  plan.Find(netscape + L"\\Users\\Default\\cookies.txt");
  plan.Find(roaming + L"\\Real\\RealOne Player\\cookies.txt");
  plan.Find(roaming + L"\\Real\\RealPlayer\\cookies.txt");
  plan.FindFolder(roaming + L"\\Macromedia\\Flash Player\\#SharedObjects");
  plan.Find(mozilla + L"\\cookies.txt");
  plan.Find(firefox + L"\\cookies.sqlite");
  plan.Find(firefox + L"\\cookies.sqlite-wal");
  plan.FindFolder(firefox + L"\\storage\\default\\https+++a.com");
  plan.Find(firefox + L"\\storage\\default\\ls-archive.sqlite");
  plan.Find(chrome + L"\\Cookies.bak");
  plan.Find(chrome + L"\\Default\\Local Storage\\https_a.com_0.localstorage");
  plan.Find(chrome + L"\\Extension Cookies");
  plan.Find(chrome + L"\\Last Session");
  plan.Find(opera + L"\\cookies4.dat");
  plan.Decoy(opera + L"\\cookies.dat");
  plan.Find(win + L"\\system32\\astart.bat\\Cookies\\c.txt");
  plan.Find(roaming + L"\\Apple Computer\\Safari\\Cookies\\Cookies.plist");
  plan.FindFolder(edgeAc + L"\\#!001\\MicrosoftEdge\\Cookies");
  plan.Decoy(edgeAc + L"\\INetCookies\\z.txt");
  plan.FindFolder(edgeAc + L"\\MicrosoftEdge\\Cookies");
  plan.Decoy(edgeAc + L"\\MicrosoftEdge\\User\\cookies\\z.txt");
  plan.FindFolder(machine / L"Edge\\DOMStore1");

  CollectingSink found;
  ScanMode(CleaningMode::Cookies, BuildCatalogue(machine), machine, found);
  EXPECT_EQ(found.Paths(), plan.expected);
  EXPECT_EQ(found.Folders(), plan.folderItems);
  EXPECT_EQ(found.ends, 1);
}

TEST(OfflineScan, AProfilePathLeadingOutOfFirefoxFindsNothingThere) {
  FakeMachine machine;
  // The local profile becomes AppData itself, whose "*.bak" files are the user's.
  WriteIni(machine.File(std::wstring(test::kRoamingDir) + L"\\Mozilla\\Firefox\\profiles.ini"),
           L"Profile0", L"Path", L"../../..");
  machine.File(L"Users\\u\\AppData\\thesis.bak");
  machine.File(L"Users\\u\\AppData\\minidumps\\x.dmp");
  machine.File(L"Users\\u\\AppData\\Local\\cookies.sqlite");
  const Catalogue catalogue = BuildCatalogue(machine);
  CollectingSink found;
  ScanOfflineTemp(catalogue, machine, found);
  ScanCookies(catalogue, machine, found);
  EXPECT_TRUE(found.items.empty()) << (found.items.empty() ? L"" : found.Paths().front());
}

TEST(CookiesScan, MachineWithNothingGivesAnEmptyListAndOneEnd) {
  FakeMachine machine;
  CollectingSink found;
  ScanMode(CleaningMode::Cookies, BuildCatalogue(machine), machine, found);
  EXPECT_TRUE(found.items.empty());
  EXPECT_EQ(found.ends, 1);
}

TEST_F(BrowserMachine, OfflineScanFindsEveryCacheInRecipeOrder) {
  DescribeDrives(machine);
  SetEdgeChildren({{L"c1|MicrosoftEdge_iecompat", machine / L"EdgeCache\\iecompat"},
                   {L"c1|MicrosoftEdge_iecompatua", machine / L"EdgeCache\\missing"},
                   {L"c1|MicrosoftEdge_bingpagedata", machine / L"EdgeCache\\bing.dat"}});
  Plan plan;
  // 1: per fixed drive (C: has none of these names).
  plan.FindFolder(L"D:\\msdownld.tmp");
  plan.FindFolder(L"D:\\Wininst0.400");
  plan.FindFolder(L"D:\\Inetpub\\Scripts");
  // 2-11
  plan.FindFolder(machine / L"Program Files\\WindowsUpdate\\sub");
  plan.Find(machine / L"Program Files\\WindowsUpdate\\wu.log");
  plan.FindFolder(netscape + L"\\Users\\Default\\Cache");
  plan.Find(roaming + L"\\Real\\RealOne Player\\urls.ini");
  plan.Find(roaming + L"\\Real\\RealPlayer\\urls.ini");
  plan.FindFolder(roaming + L"\\Real\\Roaming\\BitComet\\torrents");
  plan.FindFolder(roaming + L"\\Real\\RealOne Player\\History");
  plan.Find(roaming + L"\\Real\\RealOne Player\\Temp\\t1.tmp");
  plan.FindFolder(roaming + L"\\Real\\RealPlayer\\History");
  plan.FindFolder(roaming + L"\\Adobe\\Flash Player\\AssetCache");
  plan.Again(roaming + L"\\Macromedia\\Flash Player", true);
  plan.Decoy(roaming + L"\\Macromedia\\Flash Player\\settings.sol");
  plan.Find(roaming + L"\\Real\\RealPlayer\\Temp\\t2.tmp");
  // 12-13
  for (const wchar_t* folder : test::kWinDirCacheFolders) plan.FindFolder(win + L"\\" + folder);
  for (const wchar_t* folder : test::kLocalAppDataFolders) {
    const std::wstring relative = folder;
    if (relative.starts_with(L"..\\"))
      plan.FindFolder(machine / L"Users\\u\\AppData" + relative.substr(2));
    else
      plan.FindFolder(local + L"\\" + relative);
  }
  // 14-16
  plan.FindFolder(local + L"\\Adobe\\Acrobat\\10.0\\Cache");
  plan.FindFolder(local + L"\\Adobe\\Acrobat\\9.0\\Cache");
  plan.Find(local + L"\\Microsoft\\Windows Mail\\edb00001.jrs");
  plan.Find(local + L"\\Microsoft\\Windows Mail\\edb.log");
  // 17-22
  plan.Find(opera + L"\\download.dat");
  plan.Find(chrome + L"\\Safe Browsing Cookies-journal");
  plan.Decoy(chrome + L"\\Safe Browsing Cookies");
  for (const wchar_t* folder : {L"Application Cache", L"Cache", L"GPUCache", L"Media Cache"})
    plan.FindFolder(chrome + L"\\" + folder);
  plan.FindFolder(roaming + L"\\Google\\Chrome\\User Data\\ShaderCache");
  plan.FindFolder(chrome + L"\\Sync Data Backup");
  // 23: inside the first jre1.* folder only.
  plan.Decoy(roaming + L"\\LocalLow\\Sun\\Java\\Java3Bill.txt");
  plan.Find(roaming + L"\\LocalLow\\Sun\\Java\\jre1.8.0_311\\Java3Billion.txt");
  // 24-31
  plan.Find(machine / L"Program Files (x86)\\Common Files\\Windows Live\\.cache\\a.dat");
  plan.FindFolder(local + L"\\Microsoft\\Windows\\INetCache\\Content.IE5");
  plan.FindFolder(local + L"\\Microsoft\\Windows\\Temporary Internet Files\\Low\\Content.IE5");
  plan.FindFolder(mozilla + L"\\Cache");
  plan.FindFolder(firefox + L"\\Cache");
  plan.FindFolder(firefoxLocal + L"\\cache2");
  plan.FindFolder(firefoxLocal + L"\\jumpListCache");
  plan.FindFolder(firefoxLocal + L"\\OfflineCache");
  // 32-36
  plan.Find(firefox + L"\\minidumps\\crash.dmp");
  plan.Find(firefoxLocal + L"\\prefs.bak");
  plan.Find(firefox + L"\\downloads.sqlite");
  plan.Find(local + L"\\Apple Computer\\com.apple.Safari.PrivateBrowsing\\Cache.db");
  plan.Decoy(local + L"\\Apple Computer\\Safari\\Cache.db");
  plan.Find(roaming + L"\\Apple Computer\\Safari\\Downloads.plist");
  // 37-39: the Opera download file is queued a second time.
  plan.FindFolder(opera + L"\\cache4");
  plan.Again(opera + L"\\download.dat", false);
  plan.FindFolder(machine / L"EdgeCache\\iecompat");
  plan.Find(machine / L"EdgeCache\\bing.dat");
  // 40-41: AppCache folders whole, then every Cache, also one inside an AppCache.
  plan.Decoy(edgeAc + L"\\#!002\\AppCache\\y.txt");
  plan.Decoy(edgeAc + L"\\#!002\\Cache\\y.txt");
  plan.Decoy(edgeAc + L"\\MicrosoftEdge\\AppCache\\Cache\\x.txt");
  plan.Decoy(edgeAc + L"\\MicrosoftEdge\\User\\cache\\z.txt");
  plan.Again(edgeAc + L"\\#!002\\AppCache", true);
  plan.Again(edgeAc + L"\\MicrosoftEdge\\AppCache", true);
  plan.Again(edgeAc + L"\\#!002\\Cache", true);
  plan.Again(edgeAc + L"\\MicrosoftEdge\\AppCache\\Cache", true);

  CollectingSink found;
  ScanMode(CleaningMode::Offline, BuildCatalogue(machine), machine, found);
  EXPECT_EQ(found.Paths(), plan.expected);
  EXPECT_EQ(found.Folders(), plan.folderItems);
  EXPECT_EQ(found.ends, 1);
}

TEST(OfflineScan, DefinitionPlacesOfTheModeFollowTheRecipe) {
  FakeMachine machine;
  const std::wstring local = machine / test::kLocalDir;
  DefinitionSet set;
  ParseDefinitions(
      "[d3d]\nprogram = DirectX\nmode = offline\nplace = %LOCALAPPDATA%\\D3DSCache\n"
      "action = whole\n"
      "[logs]\nprogram = Vendor\nmode = standard\nplace = %LOCALAPPDATA%\\Vendor\\Logs\n"
      "action = files\nmask = *.log\n",
      L"t.ini", set);
  ASSERT_EQ(set.places.size(), 2u);
  Plan plan;
  plan.FindFolder(local + L"\\Microsoft\\Windows\\INetCache\\Content.IE5");
  plan.FindFolder(local + L"\\D3DSCache");
  plan.Decoy(local + L"\\Vendor\\Logs\\a.log");  // Standard's place

  CollectingSink found;
  ScanMode(CleaningMode::Offline, BuildCatalogue(machine), machine, found, set.places);
  EXPECT_EQ(found.Paths(), plan.expected);
  EXPECT_EQ(found.ends, 1);

  // Without them: the built-in catalogue alone.
  CollectingSink builtIn;
  ScanMode(CleaningMode::Offline, BuildCatalogue(machine), machine, builtIn);
  EXPECT_EQ(builtIn.Paths(), Paths{plan.expected.front()});
}

}  // namespace
}  // namespace klarex
