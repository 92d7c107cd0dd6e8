#pragma once

#include "data/readingrecord.h"

class DmmData;

// A plug-in's reading as the program keeps it, field for field. The
// plug-in's object is not kept: whoever receives one turns it into this
// at once and deletes it.
ReadingFields readingFieldsOf(const DmmData &data);
