// The control codes of the Netvane packet-filter device. Every code is
// CTL_CODE(0x804D, function, METHOD_BUFFERED, FILE_ANY_ACCESS); the values
// are fixed by the driver and must never change.
#pragma once

#include <windows.h>

constexpr DWORD NetvaneControlCode(DWORD function)
{
    return (0x804Du << 16) | (function << 2); // FILE_ANY_ACCESS, METHOD_BUFFERED
}

// Device path opened by OpenDriver.
#define NETVANE_DEVICE_PATH "\\\\.\\NETVANE"

constexpr DWORD IOCTL_NETVANE_CREATE_BLOCK = NetvaneControlCode(0x84D);  // in u32 size
constexpr DWORD IOCTL_NETVANE_FREE_BLOCK = NetvaneControlCode(0x84E);    // in u32 address
constexpr DWORD IOCTL_NETVANE_MAP_BLOCK = NetvaneControlCode(0x84F);     // in u32 flag, out u32 address
constexpr DWORD IOCTL_NETVANE_ADD_PORT = NetvaneControlCode(0x850);      // in u16 port
constexpr DWORD IOCTL_NETVANE_GET_QUEUE = NetvaneControlCode(0x851);     // out DriverQueueView
constexpr DWORD IOCTL_NETVANE_GET_TABLES = NetvaneControlCode(0x852);    // out DriverTableView
constexpr DWORD IOCTL_NETVANE_SEND_BUFFER = NetvaneControlCode(0x853);   // in caller's bytes
constexpr DWORD IOCTL_NETVANE_REMOVE_PORT = NetvaneControlCode(0x854);   // in u16 port
constexpr DWORD IOCTL_NETVANE_SET_ACL_READY = NetvaneControlCode(0x855); // in u32 0 or 1
constexpr DWORD IOCTL_NETVANE_START_EVENTS = NetvaneControlCode(0x856);  // no buffers
constexpr DWORD IOCTL_NETVANE_GET_NAME_LIST = NetvaneControlCode(0x857); // out u32 address
constexpr DWORD IOCTL_NETVANE_LOOKUP_NAME = NetvaneControlCode(0x858);   // in u32 address, out <= 4 bytes
constexpr DWORD IOCTL_NETVANE_QUERY_STRING = NetvaneControlCode(0x859);  // in text with NUL, out u32
constexpr DWORD IOCTL_NETVANE_READ_BUFFER = NetvaneControlCode(0x85A);   // out caller's buffer
constexpr DWORD IOCTL_NETVANE_UNMAP_BLOCK = NetvaneControlCode(0x85B);   // in u32 address
constexpr DWORD IOCTL_NETVANE_BLOCK_CONTROL = NetvaneControlCode(0x85C); // in u32 1, then u32 2
constexpr DWORD IOCTL_NETVANE_TICK = NetvaneControlCode(0x85D);          // in u32 0

static_assert(IOCTL_NETVANE_CREATE_BLOCK == 0x804D2134, "control code");
static_assert(IOCTL_NETVANE_FREE_BLOCK == 0x804D2138, "control code");
static_assert(IOCTL_NETVANE_MAP_BLOCK == 0x804D213C, "control code");
static_assert(IOCTL_NETVANE_ADD_PORT == 0x804D2140, "control code");
static_assert(IOCTL_NETVANE_GET_QUEUE == 0x804D2144, "control code");
static_assert(IOCTL_NETVANE_GET_TABLES == 0x804D2148, "control code");
static_assert(IOCTL_NETVANE_SEND_BUFFER == 0x804D214C, "control code");
static_assert(IOCTL_NETVANE_REMOVE_PORT == 0x804D2150, "control code");
static_assert(IOCTL_NETVANE_SET_ACL_READY == 0x804D2154, "control code");
static_assert(IOCTL_NETVANE_START_EVENTS == 0x804D2158, "control code");
static_assert(IOCTL_NETVANE_GET_NAME_LIST == 0x804D215C, "control code");
static_assert(IOCTL_NETVANE_LOOKUP_NAME == 0x804D2160, "control code");
static_assert(IOCTL_NETVANE_QUERY_STRING == 0x804D2164, "control code");
static_assert(IOCTL_NETVANE_READ_BUFFER == 0x804D2168, "control code");
static_assert(IOCTL_NETVANE_UNMAP_BLOCK == 0x804D216C, "control code");
static_assert(IOCTL_NETVANE_BLOCK_CONTROL == 0x804D2170, "control code");
static_assert(IOCTL_NETVANE_TICK == 0x804D2174, "control code");
