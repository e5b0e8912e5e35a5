#include "shell/file_drop_target.h"

#include <ole2.h>
#include <shellapi.h>

#include <new>
#include <string>

#include "app/file_commands.h"
#include "shell/main_window.h"

// A path cut to a fixed buffer could name another file, so the buffer takes the length the
// list gives.
std::filesystem::path FirstDroppedPath(HDROP drop) {
  if (!drop) return {};
  const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
  if (length == 0) return {};
  std::wstring path(length + 1, L'\0');
  if (DragQueryFileW(drop, 0, path.data(), length + 1) != length) return {};
  path.resize(length);
  return std::filesystem::path(path);
}

namespace {

// The first path of the drag's file list; empty when the data holds none.
std::filesystem::path FirstPathOf(IDataObject* data) {
  FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (!data || data->GetData(&format, &medium) != S_OK) return {};
  std::filesystem::path path = FirstDroppedPath(static_cast<HDROP>(medium.hGlobal));
  ReleaseStgMedium(&medium);
  return path;
}

class FileDropTarget final : public IDropTarget {
 public:
  explicit FileDropTarget(MainWindow& w) : w_(w) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    if (!object) return E_POINTER;
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
      *object = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    // The own drag file counts as taken: its drop beeps, as a WM_DROPFILES drop of it does.
    const std::filesystem::path path = FirstPathOf(data);
    takes_ = !path.empty() && ClassifyDroppedFile(w_.app, path) != DropVerdict::kIgnore;
    return DragOver(0, {}, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    if (effect) *effect = takes_ && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    takes_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    const std::filesystem::path path = FirstPathOf(data);
    if (effect) *effect = takes_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    takes_ = false;
    // Opened after the drag loop has returned to the source: a question the open asks must not
    // hold the other program's drag.
    if (!path.empty() && w_.ready) {
      w_.droppedPath = path;
      PostMessageW(w_.window, kMsgOpenDroppedFile, 0, 0);
    }
    return S_OK;
  }

 private:
  ~FileDropTarget() = default;
  MainWindow& w_;
  LONG references_ = 1;
  bool takes_ = false;
};

}  // namespace

bool RegisterFileDropTarget(MainWindow& w) {
  auto* target = new (std::nothrow) FileDropTarget(w);
  if (!target) return false;
  const bool registered = RegisterDragDrop(w.window, target) == S_OK;  // the system keeps its own reference
  target->Release();
  return registered;
}

void RevokeFileDropTarget(MainWindow& w) { RevokeDragDrop(w.window); }
