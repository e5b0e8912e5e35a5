// The drag objects' COM contracts, run under Wine.
#include "files/file_drag_win32.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>

namespace {

FORMATETC Format(CLIPFORMAT format = CF_HDROP, DWORD aspect = DVASPECT_CONTENT, DWORD tymed = TYMED_HGLOBAL) {
  return FORMATETC{format, nullptr, aspect, -1, tymed};
}

// A data object holding the dropped-file list of one path, as a drag prepares it.
struct DragData {
  CDataObject* data = new CDataObject(1);
  DragData() {
    FORMATETC format = Format();
    STGMEDIUM medium{};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = MakeDropFilesBlock(L"C:\\pictures\\_DnD_.png");
    EXPECT_EQ(data->SetData(&format, &medium, TRUE), S_OK);
  }
  ~DragData() { EXPECT_EQ(data->Release(), 0u); }
};

}  // namespace

TEST(FileDrag, EveryObjectAnswersOnlyIUnknownAndItsOwnInterface) {
  DragData d;
  auto* source = new CDropSource;
  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(d.data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  struct Case {
    IUnknown* object;
    REFIID own;
  };
  const Case cases[] = {{d.data, IID_IDataObject}, {source, IID_IDropSource}, {formats, IID_IEnumFORMATETC}};
  for (const Case& c : cases) {
    void* answer = nullptr;
    EXPECT_EQ(c.object->QueryInterface(IID_IUnknown, &answer), S_OK);
    EXPECT_EQ(answer, static_cast<void*>(c.object));
    EXPECT_EQ(c.object->QueryInterface(c.own, &answer), S_OK);
    EXPECT_EQ(c.object->Release(), 2u);  // the two answers added one reference each
    EXPECT_EQ(c.object->Release(), 1u);
    EXPECT_EQ(c.object->QueryInterface(IID_IStream, &answer), E_NOINTERFACE);
    EXPECT_EQ(answer, nullptr);
    EXPECT_EQ(c.object->AddRef(), 2u);
    EXPECT_EQ(c.object->Release(), 1u);
  }
  EXPECT_EQ(source->Release(), 0u);
  EXPECT_EQ(formats->Release(), 0u);
}

TEST(FileDrag, GetDataChecksTheRequestAndHandsOutACopyOfTheFileList) {
  DragData d;
  FORMATETC wanted = Format();
  STGMEDIUM medium{};
  EXPECT_EQ(d.data->GetData(nullptr, &medium), E_INVALIDARG);
  EXPECT_EQ(d.data->GetData(&wanted, nullptr), E_INVALIDARG);
  FORMATETC thumbnail = Format(CF_HDROP, DVASPECT_THUMBNAIL);
  EXPECT_EQ(d.data->GetData(&thumbnail, &medium), DV_E_DVASPECT);
  FORMATETC text = Format(CF_UNICODETEXT);
  EXPECT_EQ(d.data->GetData(&text, &medium), DV_E_FORMATETC);
  FORMATETC stream = Format(CF_HDROP, DVASPECT_CONTENT, TYMED_ISTREAM);
  EXPECT_EQ(d.data->QueryGetData(&stream), DV_E_FORMATETC);
  EXPECT_EQ(d.data->QueryGetData(&wanted), S_OK);
  EXPECT_EQ(d.data->GetDataHere(&wanted, &medium), E_NOTIMPL);
  EXPECT_EQ(d.data->DAdvise(&wanted, 0, nullptr, nullptr), OLE_E_ADVISENOTSUPPORTED);

  ASSERT_EQ(d.data->GetData(&wanted, &medium), S_OK);
  ASSERT_EQ(medium.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  wchar_t path[MAX_PATH] = {};
  auto drop = static_cast<HDROP>(medium.hGlobal);
  EXPECT_EQ(DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0), 1u);
  DragQueryFileW(drop, 0, path, MAX_PATH);
  EXPECT_EQ(std::wstring(path), L"C:\\pictures\\_DnD_.png");
  ReleaseStgMedium(&medium);
  // The object keeps its own: a second caller gets the list too.
  ASSERT_EQ(d.data->GetData(&wanted, &medium), S_OK);
  ReleaseStgMedium(&medium);

  // The drag's object holds one entry only.
  STGMEDIUM more{};
  more.tymed = TYMED_HGLOBAL;
  more.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
  EXPECT_EQ(d.data->SetData(&text, &more, TRUE), E_OUTOFMEMORY);
  GlobalFree(more.hGlobal);
  IEnumFORMATETC* formats = nullptr;
  EXPECT_EQ(d.data->EnumFormatEtc(DATADIR_SET, &formats), E_NOTIMPL);
}

TEST(FileDrag, TheEnumeratorStepsSkipsResetsAndClones) {
  const FORMATETC records[3] = {Format(CF_HDROP), Format(CF_UNICODETEXT), Format(CF_DIB)};
  auto* e = new CEnumFORMATETC(records, 3);
  FORMATETC out[4] = {};
  ULONG fetched = 0;
  EXPECT_EQ(e->Next(2, out, nullptr), E_INVALIDARG);  // without a counter only one at a time
  EXPECT_EQ(e->Next(1, out, nullptr), S_OK);
  EXPECT_EQ(out[0].cfFormat, CF_HDROP);
  EXPECT_EQ(e->Skip(1), S_OK);
  IEnumFORMATETC* copy = nullptr;
  ASSERT_EQ(e->Clone(&copy), S_OK);
  EXPECT_EQ(e->Next(4, out, &fetched), S_FALSE);  // only the last was left
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(out[0].cfFormat, CF_DIB);
  EXPECT_EQ(e->Skip(1), S_FALSE);
  EXPECT_EQ(e->Reset(), S_OK);
  EXPECT_EQ(e->Next(3, out, &fetched), S_OK);
  EXPECT_EQ(fetched, 3u);
  EXPECT_EQ(out[1].cfFormat, CF_UNICODETEXT);
  // The clone kept the position it was made at.
  EXPECT_EQ(copy->Next(1, out, &fetched), S_OK);
  EXPECT_EQ(out[0].cfFormat, CF_DIB);
  EXPECT_EQ(copy->Release(), 0u);
  EXPECT_EQ(e->Release(), 0u);
}

TEST(FileDrag, TheDropSourceDropsOnReleaseAndCancelsOnEscapeOrBothButtons) {
  auto* source = new CDropSource;
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_RBUTTON), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_SHIFT), S_OK);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, 0), DRAGDROP_S_DROP);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_SHIFT), DRAGDROP_S_DROP);
  EXPECT_EQ(source->QueryContinueDrag(TRUE, MK_RBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->QueryContinueDrag(FALSE, MK_LBUTTON | MK_RBUTTON), DRAGDROP_S_CANCEL);
  EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
  EXPECT_EQ(source->Release(), 0u);
}
