// The enumerators the connection interfaces hand out: over connection
// points and over connections. Each holds its own references.
#pragma once

#include <ocidl.h>

#include <vector>

namespace kelpo::control {

HRESULT NewConnectionPointEnumerator(const std::vector<IConnectionPoint*>& points,
                                     IEnumConnectionPoints** out);
HRESULT NewConnectionEnumerator(const std::vector<CONNECTDATA>& connections,
                                IEnumConnections** out);

}  // namespace kelpo::control
