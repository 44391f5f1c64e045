// The node's identity, which scenes store: the type name every host knows it
// by and the Maya type id, which Maya's Arnold plug-in also matches.
#pragma once

namespace lumaveil {

inline constexpr char nodeTypeName[] = "lumaVeil";
inline constexpr unsigned int nodeTypeId = 0x34729;  // 214825

}  // namespace lumaveil
