#include "device/dmmreading.h"

#include "device/dmmdata.h"

ReadingFields readingFieldsOf(const DmmData &data)
{
    ReadingFields f;
    f.time = data.dateTime();
    f.valueUm = data.valueUm();
    f.valueMil = data.valueMil();
    f.textUm = data.textUm();
    f.textMil = data.textMil();
    f.overload = data.overload() > 0 ? Overload::Above : data.overload() < 0 ? Overload::Below : Overload::None;
    f.unit = data.unit();
    f.basis = data.basis();
    return f;
}
