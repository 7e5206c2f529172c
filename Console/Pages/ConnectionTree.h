// CConnectionTree: the traffic monitor's tree of open connections, three
// levels deep: the process (its program's description and icon, value the
// process ID), its "TCP" and "UDP" groups (values 1 and 0) and the
// connections (value the socket). It keeps the program file of each
// process node, so that ending a process can check it is still the same
// program, and shows one icon per program (CProgramIcons).
//
// Nodes are found through an index of their parent and value rather than by
// walking the siblings: the poller's every pass shows each connection again,
// and a walk asks the control about every sibling on the way. Every deleted
// node must reach ForgetNode, which the page does for the tree's
// notifications and the tree for its own deletions.
#pragma once

#include <windows.h>

#include <CImageList.h>
#include <CString.h>

#include <map>
#include <utility>

#include "ItemTree.h"
#include "ProgramIcons.h"
#include "SessionRecord.h"

// The images the tree's image list starts with, in this order.
enum ConnectionImage {
    IMAGE_UDP_GROUP = 0,
    IMAGE_TCP_GROUP = 1,
    IMAGE_LISTENING = 2,
    IMAGE_CONNECTION = 3,
    IMAGE_FIRST_PROGRAM = 4,
};

// Icon resources of the console for the four images and for a program
// whose file has no icon.
enum {
    IDI_LISTENING = 146,
    IDI_CONNECTION = 147,
    IDI_UDP_GROUP = 148,
    IDI_TCP_GROUP = 149,
    IDI_NO_PROGRAM_ICON = 301,
};

class CConnectionTree
{
public:
    // The tree and the image list live in the page; the icons come from
    // the module's resources.
    CConnectionTree(CItemTree &tree, CImageList &images, HINSTANCE resources);
    CConnectionTree(const CConnectionTree &) = delete;
    CConnectionTree &operator=(const CConnectionTree &) = delete;

    // Makes the image list with the four images and gives it to the tree.
    void SetUpImages();
    // The format texts of a listening socket (its port) and of a connection
    // (local port, remote, remote port, bytes sent, bytes received).
    void SetFormats(const CString &listen, const CString &connect);

    void ShowConnection(const SessionRecord &record);
    void RemoveConnection(const SessionRecord &record);
    // Deletes the nodes of processes that no longer run.
    void RemoveEndedProcesses();
    void Clear();

    // The process node above or at an item, or NULL.
    HTREEITEM ProcessNodeOf(HTREEITEM item) const;
    // The program file a process node was made from ("" when unknown).
    CString ProgramOf(HTREEITEM processNode) const;
    // The tree forgets a node and the nodes below it (called as an item is
    // deleted, any number of times); its program's icon goes with the last
    // process node using it.
    void ForgetNode(HTREEITEM item);
    // The program icons in the image list.
    const CProgramIcons &ProgramIcons() const { return m_icons; }

    // The child of a node (TVI_ROOT for the processes) that has this value.
    HTREEITEM FindChild(HTREEITEM parent, DWORD value) const;

private:
    using NodeKey = std::pair<HTREEITEM, DWORD>; // parent, value

    HTREEITEM AddProcessNode(const SessionRecord &record);
    void Remember(HTREEITEM parent, DWORD value, HTREEITEM item);
    void ForgetIndexed(HTREEITEM item);
    void RenumberProcessImages();
    CString ConnectionText(const SessionRecord &record) const;
    void DeleteIfEmpty(HTREEITEM item);

    CItemTree &m_tree;
    CImageList &m_images;
    HINSTANCE m_resources;
    CProgramIcons m_icons;
    CString m_listenFormat;
    CString m_connectFormat;
    std::map<HTREEITEM, CString> m_programs;
    std::map<NodeKey, HTREEITEM> m_nodes;
    std::map<HTREEITEM, NodeKey> m_keys;
};
