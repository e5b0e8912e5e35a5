// Dragging a file out of the program with OLE drag and drop: a data object that holds what the
// drag offers (one dropped-file list), the enumerator of its formats, and the drop source that
// decides when the drag ends. The objects follow the COM rules: a reference count that starts
// at 1, QueryInterface answering IUnknown and the object's own interface only.
#pragma once

#include <ole2.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <vector>

class CDataObject final : public IDataObject {
 public:
  // A table of at most capacity stored formats (a drag stores one).
  explicit CDataObject(size_t capacity);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC* format, DWORD flags, IAdviseSink* sink, DWORD* connection) override;
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD connection) override;
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** advises) override;

 private:
  ~CDataObject();
  // The stored entry a request matches (same clipboard format, a medium it accepts), or the
  // HRESULT that refuses it.
  HRESULT Find(const FORMATETC* format, size_t& index) const;

  std::atomic<ULONG> references_{1};
  size_t capacity_;
  std::vector<FORMATETC> formats_;
  std::vector<STGMEDIUM> media_;
};

class CEnumFORMATETC final : public IEnumFORMATETC {
 public:
  // Copies the records (and their target devices).
  CEnumFORMATETC(const FORMATETC* formats, size_t count, size_t position = 0);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* out, ULONG* fetched) override;
  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
  HRESULT STDMETHODCALLTYPE Reset() override;
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** copy) override;

 private:
  ~CEnumFORMATETC();

  std::atomic<ULONG> references_{1};
  std::vector<FORMATETC> formats_;
  size_t position_;
};

class CDropSource final : public IDropSource {
 public:
  CDropSource() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // Escape, or both buttons down: a short beep and the drag is cancelled; no button down: the
  // file is dropped; otherwise the drag goes on.
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

 private:
  ~CDropSource() = default;

  std::atomic<ULONG> references_{1};
};

// The dropped-file list for one path in movable global memory: a DROPFILES header (list at
// offset 20, point (0, 0), non-client, wide characters), the path and two terminating zeros.
// Null when no memory could be had.
HGLOBAL MakeDropFilesBlock(const std::filesystem::path& path);

// Runs the system's drag loop for one file, offering only a copy. Returns the loop's result
// (DRAGDROP_S_DROP, DRAGDROP_S_CANCEL) or the failure that kept it from starting
// (E_OUTOFMEMORY when the file list could not be made).
HRESULT StartFileDrag(const std::filesystem::path& path);
