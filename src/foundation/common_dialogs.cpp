#include "foundation/common_dialogs.h"

#include "foundation/file_system_path.h"
#include "foundation/text_arrays.h"
#include "platform/code_page_codec.h"

namespace {

// Cuts `text` to at most `maxBytes`, never inside a double-byte character.
std::string CutText(const std::string& text, size_t maxBytes) {
  size_t end = 0;
  while (end < text.size()) {
    size_t next = end + Cp936CharLength(text, end);
    if (next > maxBytes) {
      break;
    }
    end = next;
  }
  return text.substr(0, end);
}

// Room of the dialogs' file buffer (255 bytes) less its terminator.
constexpr size_t kMaxInitialFileBytes = 254;
// Room of a font's face name (32 bytes) less its terminator.
constexpr size_t kMaxFaceNameBytes = 31;

std::string FirstOrEmpty(const std::vector<std::string>& paths) {
  return paths.empty() ? std::string() : paths.front();
}

}  // namespace

std::vector<FileDialogFilter> ParseDialogFilter(const std::string& filter) {
  if (filter.empty()) {
    return {};
  }
  const TextArray pieces = SplitText(filter, "|");
  std::vector<FileDialogFilter> filters;
  for (size_t i = 0; i + 1 < pieces.size(); i += 2) {
    if (!pieces[i + 1].empty()) {
      filters.push_back({pieces[i], pieces[i + 1]});
    }
  }
  return filters;
}

namespace {

// What every file dialog is asked: kind, preview, title, filters and folder.
FileDialogRequest BaseRequest(FileDialogKind kind, bool preview, const std::string& title,
                              const std::string& filter, const std::string& initialFolder) {
  FileDialogRequest request;
  request.kind = kind;
  request.preview = preview;
  request.title = title;
  request.filters = ParseDialogFilter(filter);
  request.initialFolder = TextPathWithSlashes(initialFolder);
  return request;
}

}  // namespace

CommonDialogs::~CommonDialogs() {
  if (m_autoAnswerInstalled) {
    RemoveAutoAnswer();
  }
}

// A copy shares the preset path but not the installation: only the object that
// installed the auto-answer may remove it.
CommonDialogs::CommonDialogs(const CommonDialogs& other) : m_presetPath(other.m_presetPath) {}

std::string CommonDialogs::OpenFile(bool preview, const std::string& title,
                                    const std::string& initialFile, const std::string& filter,
                                    const std::string& initialFolder,
                                    const std::string& defaultExtension, bool createPrompt,
                                    bool fileMustExist, bool pathMustExist,
                                    bool keepCurrentFolder) {
  FileDialogRequest request =
      BaseRequest(FileDialogKind::kOpen, preview, title, filter, initialFolder);
  request.initialFile = CutText(initialFile, kMaxInitialFileBytes);
  request.defaultExtension = defaultExtension;
  request.createPrompt = createPrompt;
  request.fileMustExist = fileMustExist;
  request.pathMustExist = pathMustExist;
  request.keepCurrentFolder = keepCurrentFolder;
  return FirstOrEmpty(GetFileDialogs().ShowFileDialog(request));
}

std::string CommonDialogs::SaveFile(bool preview, const std::string& title,
                                    const std::string& initialFile, const std::string& filter,
                                    const std::string& initialFolder,
                                    const std::string& defaultExtension, bool overwritePrompt,
                                    bool pathMustExist, bool keepCurrentFolder) {
  FileDialogRequest request =
      BaseRequest(FileDialogKind::kSave, preview, title, filter, initialFolder);
  request.initialFile = CutText(initialFile, kMaxInitialFileBytes);
  request.defaultExtension = defaultExtension;
  request.overwritePrompt = overwritePrompt;
  request.pathMustExist = pathMustExist;
  request.keepCurrentFolder = keepCurrentFolder;
  return FirstOrEmpty(GetFileDialogs().ShowFileDialog(request));
}

std::string CommonDialogs::OpenFiles(bool preview, const std::string& title,
                                     const std::string& filter, const std::string& initialFolder) {
  FileDialogRequest request =
      BaseRequest(FileDialogKind::kOpenMany, preview, title, filter, initialFolder);
  request.keepCurrentFolder = true;
  std::string joined;
  for (const std::string& path : GetFileDialogs().ShowFileDialog(request)) {
    if (!joined.empty()) {
      joined += "\r\n";
    }
    joined += path;
  }
  return joined;
}

FontRecord CommonDialogs::ChooseFont(const std::string& faceName, int size, std::uint32_t colour,
                                     bool bold, bool italic, bool strikeout, bool underline,
                                     bool* confirmed) {
  FontDialogRequest request;
  request.faceName = CutText(faceName, kMaxFaceNameBytes);
  request.pointSize = size;
  request.colour = colour;
  request.bold = bold;
  request.italic = italic;
  request.strikeout = strikeout;
  request.underline = underline;
  FontDialogAnswer answer;
  bool ok = GetFileDialogs().ShowFontDialog(request, answer);
  if (confirmed != nullptr) {
    *confirmed = ok;
  }
  FontRecord record;
  if (ok) {
    record.faceName = answer.faceName;
    record.size = answer.pointSizeTenths / 10;
    record.italic = answer.italic;
    record.underline = answer.underline;
    record.strikeout = answer.strikeout;
    record.bold = answer.weight == 700;
    record.angle = answer.escapement;
  }
  return record;
}

bool CommonDialogs::InstallAutoAnswer() {
  WideOpenAnswerer previous = SetWideOpenAnswerer(
      [this](WideOpenFileName& dialog) { return PatchedGetOpenFileName(dialog); });
  if (!m_autoAnswerInstalled) {
    m_previousAnswerer = std::move(previous);
  }
  m_autoAnswerInstalled = true;
  return true;
}

void CommonDialogs::RemoveAutoAnswer() {
  if (m_autoAnswerInstalled) {
    // The answerer before it (the browser's file chooser) answers again.
    SetWideOpenAnswerer(std::move(m_previousAnswerer));
    m_previousAnswerer = {};
    m_autoAnswerInstalled = false;
  }
}

bool CommonDialogs::PatchedGetOpenFileName(WideOpenFileName& dialog) {
  dialog.flags |= kOfnExplorer | kOfnEnableHook;
  // The dialog has finished setting itself up: the hook answers at once.
  return AutoAnswerHook(dialog) == 1;
}

int CommonDialogs::AutoAnswerHook(WideOpenFileName& dialog) {
  if (!m_presetPath.empty() && m_presetPath.size() < dialog.maxFileChars) {
    dialog.file = m_presetPath;
  }
  return 1;
}

void CommonDialogs::SetAutoAnswerPath(const std::string& utf16Bytes) {
  m_presetPath = LeBytesToUtf16(utf16Bytes);
  size_t end = m_presetPath.find(u'\0');
  if (end != std::u16string::npos) {
    m_presetPath.resize(end);
  }
}
