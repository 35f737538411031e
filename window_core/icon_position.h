#pragma once

// Where the minimised window draws its icon along one axis: centred in the
// client extent, with the division truncating toward zero (a client narrower
// than the icon gives -15, not -16, for 0 and 32).
inline int IconCentreOffset(int clientExtent, int iconExtent)
{
    return (clientExtent - iconExtent + 1) / 2;
}
