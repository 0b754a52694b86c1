// Which message reports a failed import.
#pragma once

#include <QString>

#include "Messages.h"

// msgImportTooLarge when the failure's text says "exceeds the maximum" (the server's words for
// a varchar declared above its largest size), msgImportFailed otherwise.
MessageId ImportFailureMessage(const QString& errorText);
