#ifndef TOKENS_SCREENS_A_H
#define TOKENS_SCREENS_A_H

// Style tokens of these screens; values in tokens_screens_a.inc.

#endif
