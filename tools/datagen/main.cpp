// vxdata: writes the default game folder, or a contact sheet of its art.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "datagen/contact_sheet.h"
#include "datagen/data_set.h"
#include "datagen/music_files.h"
#include "datagen/world_sheet.h"

namespace {

constexpr const char* kUsage =
    "usage: vxdata [--musicdec FILE] OUTDIR\n"
    "       vxdata [--musicdec FILE] [--sheet FILE.png] [--world-sheet FILE.png] [OUTDIR]\n"
    "  Writes the default game folder into OUTDIR. With --sheet it also draws\n"
    "  every picture of the folder with its name onto one PNG, with\n"
    "  --world-sheet every level as the game composes it, with its mask\n"
    "  outline, exits and ways in (into a temporary folder when OUTDIR is not\n"
    "  given).\n";

int Usage() {
  std::fputs(kUsage, stderr);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, sheet, worldSheet;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      std::fputs(kUsage, stdout);
      return 0;
    }
    if (a == "--sheet" && i + 1 < argc) {
      sheet = argv[++i];
    } else if (a == "--world-sheet" && i + 1 < argc) {
      worldSheet = argv[++i];
    } else if (a == "--musicdec" && i + 1 < argc) {
      datagen::SetMusicDecoder(argv[++i]);
    } else if (!a.empty() && a[0] != '-' && outDir.empty()) {
      outDir = a;
    } else {
      return Usage();
    }
  }
  if (outDir.empty() && sheet.empty() && worldSheet.empty()) return Usage();
  bool temporary = false;
  if (outDir.empty()) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vxdata-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
      std::fputs("vxdata: cannot make a temporary folder\n", stderr);
      return 1;
    }
    outDir = pattern;
    temporary = true;
  }
  const auto start = std::chrono::steady_clock::now();
  datagen::DataSetWriter writer(outDir);
  const bool ok = datagen::WriteDataSet(writer);
  for (const std::string& e : writer.errors()) std::fprintf(stderr, "vxdata: %s\n", e.c_str());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  if (!temporary) std::printf("vxdata: wrote %s in %.1f s\n", outDir.c_str(), seconds);
  bool sheetOk = true;
  if (!sheet.empty()) {
    const std::string sheetPath = std::filesystem::absolute(sheet).string();
    sheetOk = datagen::WriteContactSheet(outDir, writer.pictures(), sheetPath);
    if (!sheetOk)
      std::fprintf(stderr, "vxdata: cannot write %s\n", sheetPath.c_str());
    else
      std::printf("vxdata: contact sheet of %zu pictures in %s\n", writer.pictures().size(),
                  sheetPath.c_str());
  }
  if (!worldSheet.empty()) {
    const std::string sheetPath = std::filesystem::absolute(worldSheet).string();
    if (!datagen::WriteWorldSheet(outDir, sheetPath)) {
      std::fprintf(stderr, "vxdata: cannot write %s\n", sheetPath.c_str());
      sheetOk = false;
    } else {
      std::printf("vxdata: world sheet in %s\n", sheetPath.c_str());
    }
  }
  if (temporary) {
    std::error_code ec;
    std::filesystem::remove_all(outDir, ec);
  }
  return ok && sheetOk ? 0 : 1;
}
