#pragma once
// One face of an opening as seen from one room; a doorway has two, one in each room's row of
// the opening matrix.

#include <memory>
#include <vector>

namespace zf {

class TProem {
public:
    double Mu = 0;        // discharge coefficient: 0.64 open, 0.08 closed [-]
    bool IsOpen = false;  // the opening is open
    double Gin = 0;       // flow posted through the twin face by the other room, not yet taken in [kg/s]
    double Tin = 0;       // temperature of that pending flow [K]
    double Height = 0;    // height of the top of the opening above the floor [m]
    double Width = 0;     // width of the opening [m]

    void Init(bool isOpen);
};

// The faces of one cell of the opening matrix; the scenario owns them.
using TProems = std::vector<std::unique_ptr<TProem>>;

}  // namespace zf
