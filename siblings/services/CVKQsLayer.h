#pragma once
// Layer names of the product's object kinds. Every layer of the product begins with "VK_":
//   GetLayer("标准房间") -> "VK_标准房间"; any detail name d -> "VK_" + d (an empty name -> "0");
//   the layer is added to the working database when it is missing, so entities can go onto it.
//   GetJzLayerByDetailNamePath("建筑\施工段\施工段") -> "VK_建筑_SYS_施工段": architectural
//   layers are "VK_建筑_SYS_" + the last element of the path.
#include "host/win/CString.h"

class CVKQsLayer {
public:
    static CString GetLayer(const CString& detailName);
    // `create`: when true, the layer is also added to the working database if missing.
    static CString GetJzLayerByDetailNamePath(const CString& path, bool create);
};
