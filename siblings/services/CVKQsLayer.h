#pragma once
// Layer names of the product's object kinds. Every layer of the product begins with "VK_":
//   GetLayer("标准房间") -> "VK_标准房间"; any detail name d -> "VK_" + d with each "\" as "_"
//   ("给排水\给水管" -> "VK_给排水_给水管"; an empty name -> "0"); the layer is added to the
//   working database when it is missing, so entities can go onto it, in its discipline's colour
//   (给排水 3, 消防 1, 暖通 4, 电气 2, 弱电 6, 建筑 8; others 7).
//   GetJzLayerByDetailNamePath("建筑\施工段\施工段") -> "VK_建筑_SYS_施工段": architectural
//   layers are "VK_建筑_SYS_" + the last element of the path.
#include "host/win/CString.h"

class CVKQsLayer {
public:
    static CString GetLayer(const CString& detailName);
    // `create`: when true, the layer is also added to the working database if missing.
    static CString GetJzLayerByDetailNamePath(const CString& path, bool create);
};
