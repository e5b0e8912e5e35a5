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

const wchar_t* Wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
std::u16string_view Utf16(const wchar_t* text, UINT length) { return {reinterpret_cast<const char16_t*>(text), length}; }

// Writes the whole document to out; returns the step that failed.
PenXmlFailure WritePenDocument(IXmlWriter* writer, IStream* out, const PenSetting& pen, std::u16string_view pictures) {
  if (FAILED(writer->SetOutput(out))) return PenXmlFailure::kSetOutput;
  if (FAILED(writer->SetProperty(XmlWriterProperty_Indent, TRUE))) return PenXmlFailure::kSetProperty;
  if (FAILED(writer->WriteStartDocument(XmlStandalone_Omit))) return PenXmlFailure::kWriteStartDocument;
  if (FAILED(writer->WriteStartElement(nullptr, Wide(kPenXmlRoot), nullptr))) return PenXmlFailure::kWriteStartElement;
  for (const PenXmlElement& e : kPenXmlElements) {
    const std::u16string text = PenXmlText(pen, e, pictures);
    // Start, string and full end rather than WriteElementString: WriteString escapes & < > "
    // in every XmlLite (Wine's WriteElementString does not), and the full end element keeps
    // an empty text as an element with content that reads back as empty.
    if (FAILED(writer->WriteStartElement(nullptr, Wide(e.name), nullptr)) ||
        FAILED(writer->WriteString(Wide(text.c_str()))) || FAILED(writer->WriteFullEndElement()))
      return PenXmlFailure::kWriteElementString;
  }
  if (FAILED(writer->WriteFullEndElement())) return PenXmlFailure::kWriteFullEndElement;
  if (FAILED(writer->WriteEndDocument())) return PenXmlFailure::kWriteEndDocument;
  if (FAILED(writer->Flush())) return PenXmlFailure::kFlush;
  return PenXmlFailure::kNone;
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

// An XmlLite reader on the file at path, its input set; stream is the file, held for as long as
// the reader reads.
PenXmlFailure OpenPenXmlReader(const std::filesystem::path& path, ComRef<IXmlReader>& reader, ComRef<IStream>& stream) {
  const XmlLiteEntries& xml = XmlLite();
  if (!xml.createReader || FAILED(xml.createReader(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader.p), nullptr)))
    return PenXmlFailure::kCreateXmlReader;
  if (FAILED(SHCreateStreamOnFileW(path.c_str(), STGM_READ | STGM_SHARE_DENY_WRITE, &stream.p)))
    return PenXmlFailure::kStreamOnFile;
  if (FAILED(reader->SetInput(stream.p))) return PenXmlFailure::kSetInput;
  return PenXmlFailure::kNone;
}

// The reading of one document into a pen, node by node.
class PenXmlImport {
 public:
  PenXmlImport(IXmlReader* reader, PenSetting& pen) : reader_(reader), pen_(pen) {}

  // Reads nodes until the reader stops. Any status other than S_OK ends the document: its end,
  // or damage after the root element (fields read until then keep their new values).
  PenXmlFailure ReadDocument() {
    XmlNodeType type;
    while (reader_->Read(&type) == S_OK) {
      PenXmlFailure failure = PenXmlFailure::kNone;
      if (type == XmlNodeType_Element)
        failure = StartElement();
      else if (type == XmlNodeType_Text)
        failure = AddText();
      else if (type == XmlNodeType_EndElement)
        FinishElement();  // stray text after an element's end belongs to no field
      if (failure != PenXmlFailure::kNone) return failure;
    }
    // Not XML at all, or an empty file: nothing was read, which is not a success.
    return rootSeen_ ? PenXmlFailure::kNone : PenXmlFailure::kNotPenSetting;
  }

 private:
  // An element: the first must be the root; a known name starts collecting its field's text.
  PenXmlFailure StartElement() {
    const WCHAR* name = nullptr;
    UINT length = 0;
    if (FAILED(reader_->GetLocalName(&name, &length))) return PenXmlFailure::kGetLocalName;
    const std::u16string_view localName = Utf16(name, length);
    if (!rootSeen_) {
      if (localName != kPenXmlRoot) return PenXmlFailure::kNotPenSetting;
      rootSeen_ = true;
    }
    current_ = FindPenXmlElement(localName);
    textSeen_ = false;
    text_.clear();
    const bool empty = reader_->IsEmptyElement();  // asked before moving to the attributes
    if (FAILED(reader_->MoveToFirstAttribute())) return PenXmlFailure::kMoveToFirstAttribute;  // S_FALSE: none
    if (empty) FinishElement();
    return PenXmlFailure::kNone;
  }

  // A piece of text: a reader may hand one text over in several nodes.
  PenXmlFailure AddText() {
    const WCHAR* value = nullptr;
    UINT length = 0;
    if (FAILED(reader_->GetValue(&value, &length))) return PenXmlFailure::kGetValue;
    if (current_) {
      // Fields hold at most 259 units: a longer text need not be kept whole.
      constexpr size_t kKeptUnits = 4 * kPathUnits;
      text_ += Utf16(value, length).substr(0, kKeptUnits - std::min(text_.size(), kKeptUnits));
      textSeen_ = true;
      StorePenXmlText(pen_, *current_, text_);
    }
    return PenXmlFailure::kNone;
  }

  // Text kinds take an element without text as an empty string, so empty names and paths
  // survive a round trip; numbers keep their values.
  void FinishElement() {
    if (current_ && !textSeen_ && current_->number == nullptr) StorePenXmlText(pen_, *current_, u"");
    current_ = nullptr;
  }

  IXmlReader* reader_;
  PenSetting& pen_;
  bool rootSeen_ = false;
  const PenXmlElement* current_ = nullptr;  // the field being read; null for the root and unknown elements
  bool textSeen_ = false;
  std::u16string text_;  // the field's text so far
};

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

PenXmlFailure ExportPenSetting(const PenSetting& pen, const std::filesystem::path& fileName, const PenXmlFolders& folders) {
  const std::filesystem::path target = folders.program / fileName;  // an absolute name replaces the folder
  const XmlLiteEntries& xml = XmlLite();
  ComRef<IXmlWriter> writer;
  if (!xml.createWriter || FAILED(xml.createWriter(__uuidof(IXmlWriter), reinterpret_cast<void**>(&writer.p), nullptr)))
    return PenXmlFailure::kCreateXmlWriter;
  ComRef<IStream> memory;
  memory.p = SHCreateMemStream(nullptr, 0);
  AtomicFile file{};
  if (!memory.p || !BeginAtomicFile(file, target)) return PenXmlFailure::kStreamOnFile;
  const std::wstring& pictures = folders.pictures.native();
  PenXmlFailure failure =
      WritePenDocument(writer.p, memory.p, pen, Utf16(pictures.c_str(), static_cast<UINT>(pictures.size())));
  if (failure == PenXmlFailure::kNone && !(CopyStreamToFile(memory.p, file.stream) && CommitAtomicFile(file)))
    failure = PenXmlFailure::kFlush;
  if (failure != PenXmlFailure::kNone)
    AbandonAtomicFile(file);  // the old file stays; after a failed commit this only tidies up
  return failure;
}

PenXmlFailure ImportPenSetting(PenSetting& pen, const std::filesystem::path& path) {
  ComRef<IXmlReader> reader;
  ComRef<IStream> stream;
  const PenXmlFailure opened = OpenPenXmlReader(path, reader, stream);
  if (opened != PenXmlFailure::kNone) return opened;
  return PenXmlImport(reader.p, pen).ReadDocument();
}
