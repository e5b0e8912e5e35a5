#include "files/pen_xml_win32.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "canvas/user_message.h"
#include "files/atomic_file.h"
#include "files/pen_xml_fields.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

// Releases the interface it holds.
template <class T>
struct ComRef {
  T* p = nullptr;
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (p) p->Release();
  }
  T* operator->() const { return p; }
};

using CreateXmlObject = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);

struct XmlLiteEntries {
  CreateXmlObject createReader;
  CreateXmlObject createWriter;
};

// MinGW has XmlLite's header but no import library: the two entry points are looked up once
// and the library stays loaded for the rest of the process.
const XmlLiteEntries& XmlLite() {
  static const XmlLiteEntries entries = [] {
    XmlLiteEntries e{};
    if (HMODULE module = LoadLibraryW(L"xmllite.dll")) {
      e.createReader = reinterpret_cast<CreateXmlObject>(reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlReader")));
      e.createWriter = reinterpret_cast<CreateXmlObject>(reinterpret_cast<void*>(GetProcAddress(module, "CreateXmlWriter")));
    }
    return e;
  }();
  return entries;
}

// "<step>失敗" under the caption "警告".
void ReportFailedStep(const char* step) {
  const std::string text = std::string(step) + "失敗";
  ShowUserMessage(text.c_str(), "警告", MessageIcon::kWarning);
}

void ReportNotOurs() { ShowUserMessage("It is not an xml file for Dotwright.", "error", MessageIcon::kWarning); }

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
std::u16string_view Utf16(const wchar_t* text, UINT length) { return {reinterpret_cast<const char16_t*>(text), length}; }

// Writes the whole document to out; returns the name of the step that failed, or null.
const char* WritePenDocument(IXmlWriter* writer, IStream* out, const PenSetting& pen, std::u16string_view pictures) {
  if (FAILED(writer->SetOutput(out))) return "SetOutput";
  if (FAILED(writer->SetProperty(XmlWriterProperty_Indent, TRUE))) return "SetProperty";
  if (FAILED(writer->WriteStartDocument(XmlStandalone_Omit))) return "WriteStartDocument";
  if (FAILED(writer->WriteStartElement(nullptr, Wide(kPenXmlRoot), nullptr))) return "WriteStartElement";
  for (const PenXmlElement& e : kPenXmlElements) {
    const std::u16string text = PenXmlText(pen, e, pictures);
    // Start, string and full end rather than WriteElementString: WriteString escapes & < > "
    // in every XmlLite (Wine's WriteElementString does not), and the full end element keeps
    // an empty text as an element with content that reads back as empty.
    if (FAILED(writer->WriteStartElement(nullptr, Wide(e.name), nullptr)) ||
        FAILED(writer->WriteString(Wide(text.c_str()))) || FAILED(writer->WriteFullEndElement()))
      return "WriteElementString";
  }
  if (FAILED(writer->WriteFullEndElement())) return "WriteFullEndElement";
  if (FAILED(writer->WriteEndDocument())) return "WriteEndDocument";
  if (FAILED(writer->Flush())) return "Flush";
  return nullptr;
}

bool CopyStreamToFile(IStream* stream, FILE* file) {
  LARGE_INTEGER start{};
  if (FAILED(stream->Seek(start, STREAM_SEEK_SET, nullptr))) return false;
  char buffer[4096];
  for (;;) {
    ULONG read = 0;
    if (FAILED(stream->Read(buffer, sizeof buffer, &read))) return false;
    if (read == 0) return true;
    if (std::fwrite(buffer, 1, read, file) != read) return false;
  }
}

}  // namespace

PenXmlFolders SystemPenXmlFolders() {
  PenXmlFolders folders;
  std::vector<wchar_t> module(32768);
  const DWORD length = GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
  if (length > 0 && length < module.size()) folders.program = std::filesystem::path(module.data()).parent_path();
  PWSTR pictures = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Pictures, 0, nullptr, &pictures)) && pictures)
    folders.pictures = pictures;
  CoTaskMemFree(pictures);
  return folders;
}

bool ExportPenSetting(const PenSetting& pen, const std::filesystem::path& fileName, const PenXmlFolders& folders) {
  const std::filesystem::path target = folders.program / fileName;  // an absolute name replaces the folder
  const XmlLiteEntries& xml = XmlLite();
  ComRef<IXmlWriter> writer;
  if (!xml.createWriter || FAILED(xml.createWriter(__uuidof(IXmlWriter), reinterpret_cast<void**>(&writer.p), nullptr))) {
    ReportFailedStep("CreateXmlWriter");
    return false;
  }
  ComRef<IStream> memory;
  memory.p = SHCreateMemStream(nullptr, 0);
  AtomicFile file{};
  if (!memory.p || !BeginAtomicFile(file, target)) {
    ReportFailedStep("SHCreateStreamOnFile");
    return false;
  }
  const std::wstring& pictures = folders.pictures.native();
  const char* failed = WritePenDocument(writer.p, memory.p, pen, Utf16(pictures.c_str(), static_cast<UINT>(pictures.size())));
  if (!failed && !(CopyStreamToFile(memory.p, file.stream) && CommitAtomicFile(file))) failed = "Flush";
  if (failed) {
    AbandonAtomicFile(file);  // the old file stays; after a failed commit this only tidies up
    ReportFailedStep(failed);
    return false;
  }
  return true;
}

int ImportPenSetting(PenSetting& pen, const std::filesystem::path& path) {
  const XmlLiteEntries& xml = XmlLite();
  ComRef<IXmlReader> reader;
  if (!xml.createReader || FAILED(xml.createReader(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader.p), nullptr))) {
    ReportFailedStep("CreateXmlReader");
    return 0;
  }
  ComRef<IStream> stream;
  if (FAILED(SHCreateStreamOnFileW(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, &stream.p))) {
    ReportFailedStep("SHCreateStreamOnFile");
    return 0;
  }
  if (FAILED(reader->SetInput(stream.p))) {
    ReportFailedStep("SetInput");
    return 0;
  }

  // The element whose text is being read (null for the root and unknown elements), and its
  // text so far: a reader may hand one text over in several nodes.
  bool rootSeen = false;
  const PenXmlElement* current = nullptr;
  bool textSeen = false;
  std::u16string text;
  // Text kinds take an element without text as an empty string, so empty names and paths
  // survive a round trip; numbers keep their values.
  auto finishElement = [&] {
    if (current && !textSeen && current->number == nullptr) StorePenXmlText(pen, *current, u"");
    current = nullptr;
  };

  XmlNodeType type;
  // Any status other than S_OK ends the document: its end, or damage after the root element.
  while (reader->Read(&type) == S_OK) {
    if (type == XmlNodeType_Element) {
      const WCHAR* name = nullptr;
      UINT length = 0;
      if (FAILED(reader->GetLocalName(&name, &length))) {
        ReportFailedStep("GetLocalName");
        return 0;
      }
      const std::u16string_view localName = Utf16(name, length);
      if (!rootSeen) {
        if (localName != kPenXmlRoot) {
          ReportNotOurs();
          return 0;
        }
        rootSeen = true;
      }
      current = FindPenXmlElement(localName);
      textSeen = false;
      text.clear();
      const bool empty = reader->IsEmptyElement();  // asked before moving to the attributes
      if (FAILED(reader->MoveToFirstAttribute())) {  // S_FALSE: no attributes
        ReportFailedStep("MoveToFirstAttribute");
        return 0;
      }
      if (empty) finishElement();
    } else if (type == XmlNodeType_Text) {
      const WCHAR* value = nullptr;
      UINT length = 0;
      if (FAILED(reader->GetValue(&value, &length))) {
        ReportFailedStep("GetValue");
        return 0;
      }
      if (current) {
        // Fields hold at most 259 units: a longer text need not be kept whole.
        constexpr size_t kKeptUnits = 4 * kPathUnits;
        text += Utf16(value, length).substr(0, kKeptUnits - std::min(text.size(), kKeptUnits));
        textSeen = true;
        StorePenXmlText(pen, *current, text);
      }
    } else if (type == XmlNodeType_EndElement) {
      // Stray text after an element's end belongs to no field.
      finishElement();
    }
  }
  if (!rootSeen) {
    // Not XML at all, or an empty file: nothing was read, which is not a success.
    ReportNotOurs();
    return 0;
  }
  return 1;
}
