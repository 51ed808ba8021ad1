// Links against HexEditCtrl from outside the repository: the header is found
// through the target's include directories and the class's code is pulled in.
#include "HexEditCtrl.h"

int main()
{
    CHexEditCtrl* ctrl = new CHexEditCtrl;
    delete ctrl;
    return 0;
}
