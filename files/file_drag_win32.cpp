#include "files/file_drag_win32.h"

#include <shlobj.h>

#include <cstring>
#include <new>
#include <string>

namespace {

// A copy of a format record whose target device is the record's own (CoTaskMemAlloc'd, as
// the enumerator's caller frees it).
FORMATETC CopyFormat(const FORMATETC& format) {
  FORMATETC copy = format;
  if (format.ptd) {
    copy.ptd = static_cast<DVTARGETDEVICE*>(CoTaskMemAlloc(format.ptd->tdSize));
    if (copy.ptd) std::memcpy(copy.ptd, format.ptd, format.ptd->tdSize);
  }
  return copy;
}

void FreeFormat(FORMATETC& format) {
  if (format.ptd) CoTaskMemFree(format.ptd);
  format.ptd = nullptr;
}

// Duplicates stored data for a caller: the media OLE can copy; anything else fails.
HRESULT DuplicateMedium(const FORMATETC& format, const STGMEDIUM& from, STGMEDIUM& to) {
  switch (from.tymed) {
    case TYMED_HGLOBAL:
    case TYMED_FILE:
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
      break;
    default:
      return E_OUTOFMEMORY;
  }
  HANDLE copy = OleDuplicateData(from.hGlobal, format.cfFormat, 0);
  if (!copy) return E_OUTOFMEMORY;
  to = from;
  to.hGlobal = static_cast<HGLOBAL>(copy);  // the union's members share their place
  if (to.pUnkForRelease) to.pUnkForRelease->AddRef();
  return S_OK;
}

template <class Object, class Interface>
HRESULT Answer(Object* self, REFIID id, REFIID own, void** object) {
  if (!object) return E_POINTER;
  if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, own)) {
    *object = static_cast<Interface*>(self);
    self->AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

}  // namespace

// ---- CDataObject ----

CDataObject::CDataObject(size_t capacity) : capacity_(capacity) {}

CDataObject::~CDataObject() {
  for (STGMEDIUM& medium : media_) ReleaseStgMedium(&medium);
  for (FORMATETC& format : formats_) FreeFormat(format);
}

HRESULT CDataObject::QueryInterface(REFIID id, void** object) {
  return Answer<CDataObject, IDataObject>(this, id, IID_IDataObject, object);
}
ULONG CDataObject::AddRef() { return ++references_; }
ULONG CDataObject::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT CDataObject::Find(const FORMATETC* format, size_t& index) const {
  if (!(format->dwAspect & DVASPECT_CONTENT)) return DV_E_DVASPECT;
  for (size_t i = 0; i < formats_.size(); ++i) {
    if (formats_[i].cfFormat == format->cfFormat && (formats_[i].tymed & format->tymed)) {
      index = i;
      return S_OK;
    }
  }
  return DV_E_FORMATETC;
}

HRESULT CDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  size_t i = 0;
  if (const HRESULT found = Find(format, i); found != S_OK) return found;
  return DuplicateMedium(formats_[i], media_[i], *medium);
}

HRESULT CDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT CDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_INVALIDARG;
  size_t i = 0;
  return Find(format, i);
}

HRESULT CDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return E_NOTIMPL; }

HRESULT CDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
  if (!format || !medium) return E_INVALIDARG;
  if (formats_.size() >= capacity_) return E_OUTOFMEMORY;
  STGMEDIUM stored{};
  if (release) {
    stored = *medium;
  } else if (const HRESULT copied = DuplicateMedium(*format, *medium, stored); copied != S_OK) {
    return copied;
  }
  try {
    formats_.push_back(CopyFormat(*format));
    media_.push_back(stored);
  } catch (const std::bad_alloc&) {
    if (formats_.size() > media_.size()) {
      FreeFormat(formats_.back());
      formats_.pop_back();
    }
    if (!release) ReleaseStgMedium(&stored);
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

HRESULT CDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
  if (!formats) return E_INVALIDARG;
  *formats = nullptr;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  auto* e = new (std::nothrow) CEnumFORMATETC(formats_.data(), formats_.size());
  if (!e) return E_OUTOFMEMORY;
  *formats = e;
  return S_OK;
}

HRESULT CDataObject::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT CDataObject::DUnadvise(DWORD) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT CDataObject::EnumDAdvise(IEnumSTATDATA**) { return OLE_E_ADVISENOTSUPPORTED; }

// ---- CEnumFORMATETC ----

CEnumFORMATETC::CEnumFORMATETC(const FORMATETC* formats, size_t count, size_t position) : position_(position) {
  formats_.reserve(count);
  for (size_t i = 0; i < count; ++i) formats_.push_back(CopyFormat(formats[i]));
  if (position_ > formats_.size()) position_ = formats_.size();
}

CEnumFORMATETC::~CEnumFORMATETC() {
  for (FORMATETC& format : formats_) FreeFormat(format);
}

HRESULT CEnumFORMATETC::QueryInterface(REFIID id, void** object) {
  return Answer<CEnumFORMATETC, IEnumFORMATETC>(this, id, IID_IEnumFORMATETC, object);
}
ULONG CEnumFORMATETC::AddRef() { return ++references_; }
ULONG CEnumFORMATETC::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT CEnumFORMATETC::Next(ULONG count, FORMATETC* out, ULONG* fetched) {
  if (!out || (!fetched && count != 1)) return E_INVALIDARG;
  ULONG delivered = 0;
  while (delivered < count && position_ < formats_.size()) out[delivered++] = CopyFormat(formats_[position_++]);
  if (fetched) *fetched = delivered;
  return delivered == count ? S_OK : S_FALSE;
}

HRESULT CEnumFORMATETC::Skip(ULONG count) {
  const size_t left = formats_.size() - position_;
  if (count > left) {
    position_ = formats_.size();
    return S_FALSE;
  }
  position_ += count;
  return S_OK;
}

HRESULT CEnumFORMATETC::Reset() {
  position_ = 0;
  return S_OK;
}

HRESULT CEnumFORMATETC::Clone(IEnumFORMATETC** copy) {
  if (!copy) return E_INVALIDARG;
  auto* e = new (std::nothrow) CEnumFORMATETC(formats_.data(), formats_.size(), position_);
  *copy = e;
  return e ? S_OK : E_OUTOFMEMORY;
}

// ---- CDropSource ----

HRESULT CDropSource::QueryInterface(REFIID id, void** object) {
  return Answer<CDropSource, IDropSource>(this, id, IID_IDropSource, object);
}
ULONG CDropSource::AddRef() { return ++references_; }
ULONG CDropSource::Release() {
  const ULONG left = --references_;
  if (left == 0) delete this;
  return left;
}

HRESULT CDropSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
  if (escapePressed || ((keyState & MK_LBUTTON) && (keyState & MK_RBUTTON))) {
    MessageBeep(0);
    return DRAGDROP_S_CANCEL;
  }
  if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
  return S_OK;
}

HRESULT CDropSource::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

// ---- The drag ----

HGLOBAL MakeDropFilesBlock(const std::filesystem::path& path) {
  const std::wstring text = path.wstring();
  const size_t bytes = sizeof(DROPFILES) + (text.size() + 2) * sizeof(wchar_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!block) return nullptr;
  auto* files = static_cast<DROPFILES*>(GlobalLock(block));
  if (!files) {
    GlobalFree(block);
    return nullptr;
  }
  files->pFiles = sizeof(DROPFILES);
  files->pt = POINT{0, 0};
  files->fNC = TRUE;
  files->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(files) + sizeof(DROPFILES), text.c_str(), text.size() * sizeof(wchar_t));
  GlobalUnlock(block);
  return block;
}

HRESULT StartFileDrag(const std::filesystem::path& path) {
  HGLOBAL block = MakeDropFilesBlock(path);
  if (!block) return E_OUTOFMEMORY;
  auto* data = new (std::nothrow) CDataObject(1);
  auto* source = new (std::nothrow) CDropSource;
  if (!data || !source) {
    if (data) data->Release();
    if (source) source->Release();
    GlobalFree(block);
    return E_OUTOFMEMORY;
  }
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  medium.tymed = TYMED_HGLOBAL;
  medium.hGlobal = block;
  HRESULT result = data->SetData(&format, &medium, TRUE);
  if (result != S_OK) {
    GlobalFree(block);
  } else {
    DWORD effect = DROPEFFECT_NONE;
    result = DoDragDrop(data, source, DROPEFFECT_COPY, &effect);
  }
  data->Release();
  source->Release();
  return result;
}
