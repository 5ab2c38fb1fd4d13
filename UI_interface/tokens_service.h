#ifndef TOKENS_SERVICE_H
#define TOKENS_SERVICE_H

// Style tokens of these screens; values in tokens_service.inc.

#endif
