#pragma once

#include "bench/support/scatteredreadings.h"
#include "data/dmmdata.h"
#include "data/readingrecord.h"

// As the plug-in hands it over.
inline DmmData *scatteredReading(int i)
{
    return Reading::make(scatteredText(i), QStringLiteral("um"), QStringLiteral("Fe"), scatteredTime(i));
}

// As the program keeps it.
inline ReadingFields scatteredFields(int i)
{
    return ReadingFields::fromText(scatteredText(i), QStringLiteral("um"), QStringLiteral("Fe"), scatteredTime(i));
}
