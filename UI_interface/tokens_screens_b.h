#ifndef TOKENS_SCREENS_B_H
#define TOKENS_SCREENS_B_H

// Style tokens of these screens; values in tokens_screens_b.inc.

#endif
