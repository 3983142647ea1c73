#include "server/AddressKey.h"

#include <netinet/in.h>

AddressKey AddressKey::Of(const sockaddr* from) {
    AddressKey key;
    if (!from) return key;
    if (from->sa_family == AF_INET) {
        key.family = kIPv4;
        key.bits = ntohl(reinterpret_cast<const sockaddr_in*>(from)->sin_addr.s_addr);
    } else if (from->sa_family == AF_INET6) {
        const in6_addr& a = reinterpret_cast<const sockaddr_in6*>(from)->sin6_addr;
        if (IN6_IS_ADDR_V4MAPPED(&a)) {
            key.family = kIPv4;
            key.bits = (uint64_t(a.s6_addr[12]) << 24) | (uint64_t(a.s6_addr[13]) << 16) |
                       (uint64_t(a.s6_addr[14]) << 8) | a.s6_addr[15];
        } else {
            key.family = kIPv6;
            for (int i = 0; i < 8; ++i) key.bits = (key.bits << 8) | a.s6_addr[i];
        }
    }
    return key;
}
