#pragma once

#include <QtGlobal>

// Symbols of the shared library that the application and every device
// plug-in link: the reading record and the plug-in interfaces.
#if defined(DMMAPI_LIBRARY)
#define DMMAPI_EXPORT Q_DECL_EXPORT
#else
#define DMMAPI_EXPORT Q_DECL_IMPORT
#endif
