#include "view/drag_out.h"

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <cstring>

#include "framework/list_view.h"

namespace klarex {

namespace {

FORMATETC HDropFormat() {
  return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// Reference counting shared by the two small COM objects below.
template <typename Interface>
class CComObject : public Interface {
 public:
  virtual ~CComObject() = default;
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == __uuidof(Interface)) {
      *out = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG refs = --m_refs;
    if (refs == 0) delete this;
    return refs;
  }

 private:
  std::atomic<ULONG> m_refs{1};
};

class CDropFilesDataObject : public CComObject<IDataObject> {
 public:
  explicit CDropFilesDataObject(std::vector<BYTE> block) : m_block(std::move(block)) {}

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (!format || !medium) return E_INVALIDARG;
    HRESULT hr = QueryGetData(format);
    if (FAILED(hr)) return hr;
    // Every caller gets its own copy and frees it through ReleaseStgMedium.
    HGLOBAL copy = DropFilesToGlobal(m_block);
    if (!copy) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (!format) return E_INVALIDARG;
    if (format->cfFormat != CF_HDROP) return DV_E_FORMATETC;
    if (!(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC format = HDropFormat();
    return ::SHCreateStdEnumFmtEtc(1, &format, out);
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }

 private:
  std::vector<BYTE> m_block;
};

class CDropSource : public CComObject<IDropSource> {
 public:
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override {
    if (escapePressed) return DRAGDROP_S_CANCEL;
    if (!(keyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

}  // namespace

std::vector<BYTE> BuildDropFilesBlock(const std::vector<std::wstring>& paths) {
  // The closing NUL; an empty list still needs two to read as empty.
  size_t chars = paths.empty() ? 2 : 1;
  for (const auto& path : paths) chars += path.size() + 1;
  std::vector<BYTE> block(sizeof(DROPFILES) + chars * sizeof(wchar_t), 0);
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.fWide = TRUE;
  std::memcpy(block.data(), &header, sizeof(header));
  size_t offset = sizeof(DROPFILES);
  for (const auto& path : paths) {
    std::memcpy(block.data() + offset, path.c_str(), (path.size() + 1) * sizeof(wchar_t));
    offset += (path.size() + 1) * sizeof(wchar_t);
  }
  return block;
}

HGLOBAL DropFilesToGlobal(const std::vector<BYTE>& block) {
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE, block.size());
  if (!memory) return nullptr;
  void* p = ::GlobalLock(memory);
  if (!p) {
    ::GlobalFree(memory);
    return nullptr;
  }
  std::memcpy(p, block.data(), block.size());
  ::GlobalUnlock(memory);
  return memory;
}

ComPtr<IDataObject> CreateDropFilesDataObject(const std::vector<std::wstring>& paths) {
  return ComPtr<IDataObject>(new CDropFilesDataObject(BuildDropFilesBlock(paths)));
}

ComPtr<IDropSource> CreateDropSource() { return ComPtr<IDropSource>(new CDropSource()); }

DWORD DragOutFiles(const std::vector<std::wstring>& paths) {
  if (paths.empty()) return DROPEFFECT_NONE;
  ComPtr<IDataObject> data = CreateDropFilesDataObject(paths);
  ComPtr<IDropSource> source = CreateDropSource();
  DWORD effect = DROPEFFECT_NONE;
  HRESULT hr = ::DoDragDrop(data.get(), source.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
  return hr == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

std::vector<std::wstring> SelectedRowPaths(HWND list) { return CListView(list).SelectedTexts(0); }

}  // namespace klarex
