// What the user reads when a mapping cannot be opened or saved, in English and Turkish.
#pragma once

#include <QString>

#include "Mapping.h"
#include "Messages.h"

QString MappingErrorText(MappingError::Reason reason, Language language);
