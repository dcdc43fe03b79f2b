// The scanner's steps: a folder and a mask, a tree and a name pattern, or one
// named path become found items reported to a sink. Listing is a preview: no
// step changes an attribute, owner or time of anything it looks at.
#pragma once
#include <string>

#include "engine/catalogue.h"
#include "engine/found_item_sink.h"

namespace klarex {

// The entries of `folder` whose long names match `mask` (files and folders,
// not entered), except one named exactly `excludedName`.
void ScanFolder(IFoundItemSink& sink, const std::wstring& folder, const wchar_t* mask,
                const wchar_t* excludedName = L"");
// Every non-empty file and every folder below `folder` whose name matches
// `mask`; a matching folder is taken whole, links are not entered.
void ScanTree(IFoundItemSink& sink, const std::wstring& folder, const wchar_t* mask);
// The file or folder itself, when it exists.
void AddPath(IFoundItemSink& sink, const std::wstring& path);

// ScanFolder once per mask, per subfolder and mask pair, or per subfolder with
// one mask; AddPath once per name below `folder`.
void ScanFolderMasks(IFoundItemSink& sink, const std::wstring& folder, const NameList& masks);
void ScanSubfolderMasks(IFoundItemSink& sink, const std::wstring& folder,
                        const FolderMaskList& pairs);
void ScanFoldersWithMask(IFoundItemSink& sink, const std::wstring& folder, const NameList& names,
                         const wchar_t* mask);
void AddPaths(IFoundItemSink& sink, const std::wstring& folder, const NameList& names);

}  // namespace klarex
