#include "ui/signin/webview2_environment.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "foundation/file_deletion.h"
#include "foundation/file_system_path.h"
#include "foundation/files_and_paths.h"
#include "foundation/run_directory.h"
#include "foundation/text_encodings.h"
#include "foundation/waits.h"
#include "platform/staged_file.h"
#include "ui/global_objects.h"
#include "ui/signin/wv2_bridge.h"
#include "ui/signin/wv2_bridge_image.h"
#include "ui/signin/wv2_calls.h"


std::string g_webviewUserDataFolder;

namespace {

constexpr int kUtf8CodePage = 65001;

std::function<std::string_view()>& ImageSource() {
  static auto* source = new std::function<std::string_view()>;
  return *source;
}

// True when `utf8Path` names an entry strictly below the run directory, its
// parent folders resolved (a parent that is a link to elsewhere is outside).
bool IsBelowRunDirectory(const std::string& utf8Path) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path runDirectory = fs::canonical(RunDirectoryFileSystemPath(), error);
  if (error || utf8Path.empty()) {
    return false;
  }
  fs::path path = fs::absolute(fs::path(utf8Path), error).lexically_normal();
  if (error) {
    return false;
  }
  if (!path.has_filename()) {
    path = path.parent_path();
  }
  if (!path.has_filename() || path.filename() == "..") {
    return false;
  }
  const fs::path parent = fs::weakly_canonical(path.parent_path(), error);
  if (error) {
    return false;
  }
  const fs::path relative = (parent / path.filename()).lexically_relative(runDirectory);
  return !relative.empty() && relative != "." && *relative.begin() != "..";
}

}  // namespace

std::string_view CarriedBridgeImage() {
  if (ImageSource()) {
    return ImageSource()();
  }
  return std::string_view(reinterpret_cast<const char*>(CarriedBridgeImageData()),
                          CarriedBridgeImageSize());
}

void SetCarriedBridgeImageForTesting(std::function<std::string_view()> source) {
  ImageSource() = std::move(source);
}

bool WriteCarriedBridgeImage() {
  const std::string path = Wv2BridgePath();
  struct stat info {};
  if (lstat(path.c_str(), &info) == 0 || errno != ENOENT) {
    return false;
  }
  const std::string_view image = CarriedBridgeImage();
  if (image.empty()) {
    return false;
  }
  // Written beside and then linked into place, so a half-written image never
  // stands under the name (it would never be replaced).
  StagedFile file;
  return file.Write(path, image, 0755) && file.CommitWithoutReplacing();
}

bool DeleteFolderTree(std::string_view folder) {
  if (!IsBelowRunDirectory(FileSystemPathFromText(folder))) {
    return false;
  }
  return RemoveDirectoryTree(folder);
}

Wv2Environment CreateWv2Environment(const std::string& browserFolder,
                                    const std::string& userDataFolder, Wv2OptionsRecord& options) {
  Wv2Environment environment;
  auto* create = Wv2Bound<Wv2Export::wv2_Global_CreateEnv_Sync>();
  if (create == nullptr) {
    return environment;
  }
  const Wv2TextArgument arguments(options.browserArguments);
  const Wv2TextArgument language(options.language);
  const Wv2TextArgument version(options.targetVersion);
  Wv2NativeEnvironmentOptions native{arguments, language, version, options.value};
  Wv2Handle handle = 0;
  create(&native, Wv2TextArgument(browserFolder), Wv2TextArgument(userDataFolder), &handle);
  options.value = native.value;
  environment.SetBridgeHandle(handle);
  return environment;
}

void PrepareWebView2Environment() {
  WriteCarriedBridgeImage();
  PumpMessages();
  g_webviewUserDataFolder = RunDirectoryPath("cache/");
  if (DirectoryExists(g_webviewUserDataFolder)) {
    DeleteFolderTree(g_webviewUserDataFolder + "EBWebView");
  } else {
    CreateDirectoryPath(g_webviewUserDataFolder);
  }
  PumpMessages();
  Wv2OptionsRecord options;
  options.browserArguments = TextToUtf16(kWv2BrowserArguments);
  // The folder's exact UTF-8 name (characters code page 936 lacks included).
  const std::string userDataFolder =
      MultiByteToUtf16(FileSystemPathFromText(g_webviewUserDataFolder), kUtf8CodePage);
  Wv2Environment environment = CreateWv2Environment(std::string(2, '\0'), userDataFolder, options);
  g_wv2Environment.Free();
  g_wv2Environment = environment;
}
