#include "tree/TreeImages.h"

namespace prowl {

const std::vector<std::wstring>& TreeImageKeys() {
    static const std::vector<std::wstring> keys{kImageFolder,     kImageDll,
                                                kImageOcx,        kImageFolderMissing,
                                                kImageDllMissing, kImageOcxMissing};
    return keys;
}

std::wstring ChooseImage(const clsObject& record) {
    const bool missing = !record.Exists;
    if (record.NodeType == kNodeFolder) return missing ? kImageFolderMissing : kImageFolder;
    if (record.NodeType == kNodeDll) return missing ? kImageDllMissing : kImageDll;
    if (record.NodeType == kNodeOcx) return missing ? kImageOcxMissing : kImageOcx;
    return L"";
}

}  // namespace prowl
