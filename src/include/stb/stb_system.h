#ifndef KESTREL_STB_SYSTEM_H
#define KESTREL_STB_SYSTEM_H

/*
 * Library bring-up and the system services of the platform library: system properties, the
 * board's static network address, and handing an upgrade archive to the platform.
 */

#include "stb/stb_types.h"

STB_EXTERN_C_BEGIN

/* Room for a property value, terminator included. */
#define SYSTEM_PROPERTY_VALUE_MAX 92

STB_STATUS system_init(void);
STB_STATUS system_deinit(void);
/* Writes the property's value, or pszDefault when it is not set, into pszValue (room for
 * SYSTEM_PROPERTY_VALUE_MAX bytes), always terminated. */
STB_STATUS system_get_property(const char* pszKey, char* pszValue, const char* pszDefault);
/* Dotted IPv4 texts. */
STB_STATUS system_set_static_network(const char* pszAddress, const char* pszNetmask,
                                     const char* pszGateway);
STB_STATUS system_upgrade(const char* pszPath);

STB_EXTERN_C_END

#endif /* KESTREL_STB_SYSTEM_H */
