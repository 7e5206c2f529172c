#include "ConnectionTree.h"

#include "FileInfo.h"
#include "Formatting.h"
#include "PathText.h"
#include "ProcessAlive.h"
#include "SafeFormat.h"

namespace {

DWORD GroupValue(BYTE protocol)
{
    return protocol == PROTO_UDP ? 0 : 1;
}

} // namespace

CConnectionTree::CConnectionTree(CItemTree &tree, CImageList &images, HINSTANCE resources)
    : m_tree(tree), m_images(images), m_resources(resources),
      m_icons(images, resources, IMAGE_FIRST_PROGRAM, IDI_NO_PROGRAM_ICON)
{
}

void CConnectionTree::SetUpImages()
{
    m_images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 50);
    ::SendMessage(m_tree.GetSafeHwnd(), TVM_SETIMAGELIST, TVSIL_NORMAL,
                  reinterpret_cast<LPARAM>(m_images.GetSafeHandle()));
    const UINT icons[] = {IDI_UDP_GROUP, IDI_TCP_GROUP, IDI_LISTENING, IDI_CONNECTION};
    for (UINT id : icons) {
        HICON icon = LoadIcon(m_resources, MAKEINTRESOURCE(id));
        m_images.Add(icon);
        if (icon)
            DestroyIcon(icon);
    }
}

void CConnectionTree::SetFormats(const CString &listen, const CString &connect)
{
    m_listenFormat = listen;
    m_connectFormat = connect;
}

HTREEITEM CConnectionTree::FindChild(HTREEITEM parent, DWORD value) const
{
    const auto found = m_nodes.find(NodeKey(parent, value));
    return found == m_nodes.end() ? NULL : found->second;
}

void CConnectionTree::Remember(HTREEITEM parent, DWORD value, HTREEITEM item)
{
    m_nodes[NodeKey(parent, value)] = item;
    m_keys[item] = NodeKey(parent, value);
}

// The nodes below go with their parent: the control deletes them with it,
// and a handle may be given to a new node at once.
void CConnectionTree::ForgetIndexed(HTREEITEM item)
{
    const auto key = m_keys.find(item);
    if (key != m_keys.end()) {
        m_nodes.erase(key->second);
        m_keys.erase(key);
    }
    for (auto child = m_nodes.lower_bound(NodeKey(item, 0)); child != m_nodes.end() && child->first.first == item;
         child = m_nodes.lower_bound(NodeKey(item, 0))) {
        const HTREEITEM below = child->second;
        m_nodes.erase(child);
        ForgetIndexed(below);
    }
}

void CConnectionTree::ShowConnection(const SessionRecord &record)
{
    HTREEITEM process = FindChild(TVI_ROOT, record.ProcessId);
    if (!process)
        process = AddProcessNode(record);
    if (!process)
        return;
    const DWORD groupValue = GroupValue(record.Protocol);
    HTREEITEM group = FindChild(process, groupValue);
    if (!group) {
        const int image = groupValue ? IMAGE_TCP_GROUP : IMAGE_UDP_GROUP;
        group = m_tree.InsertItem(groupValue ? "TCP" : "UDP", image, image, process);
        if (!group)
            return;
        m_tree.SetItemData(group, groupValue);
        Remember(process, groupValue, group);
    }
    HTREEITEM connection = FindChild(group, record.Socket);
    if (!connection) {
        const int image = record.Direction == DIR_LISTEN ? IMAGE_LISTENING : IMAGE_CONNECTION;
        connection = m_tree.InsertItem("", image, image, group);
        if (!connection)
            return;
        m_tree.SetItemData(connection, record.Socket);
        Remember(group, record.Socket, connection);
    }
    // A connection that moved nothing keeps its line and is not drawn again.
    const CString text = ConnectionText(record);
    if (m_tree.GetItemText(connection) != text)
        m_tree.SetItemText(connection, text);
}

HTREEITEM CConnectionTree::AddProcessNode(const SessionRecord &record)
{
    CFileInfo info;
    CString text;
    if (info.ReadLocal(record.Path) == CFileInfo::READ_OK)
        text = info.GetDescription();
    if (text.IsEmpty())
        text = GetFileNameFromPath(record.Path, false);
    int image = m_icons.Acquire(record.Path);
    const bool ownIcon = image >= 0;
    if (!ownIcon)
        image = IMAGE_CONNECTION; // the list took no icon: a plain one
    HTREEITEM process = m_tree.InsertItem(text, image, image, TVI_ROOT);
    if (!process) {
        if (ownIcon && m_icons.Release(record.Path) >= 0)
            RenumberProcessImages();
        return NULL;
    }
    m_tree.SetItemData(process, record.ProcessId);
    Remember(TVI_ROOT, record.ProcessId, process);
    m_programs[process] = record.Path;
    return process;
}

void CConnectionTree::ForgetNode(HTREEITEM item)
{
    ForgetIndexed(item);
    auto found = m_programs.find(item);
    if (found == m_programs.end())
        return;
    const CString program = found->second;
    m_programs.erase(found);
    if (m_icons.Release(program) >= 0)
        RenumberProcessImages();
}

// An image that left the list moved the later ones down by one.
void CConnectionTree::RenumberProcessImages()
{
    for (const auto &node : m_programs) {
        const int image = m_icons.ImageOf(node.second);
        if (image >= 0)
            m_tree.SetItemImage(node.first, image, image);
    }
}

CString CConnectionTree::ConnectionText(const SessionRecord &record) const
{
    const UINT localPort = record.LocalPort;
    if (record.Direction == DIR_LISTEN)
        return SafeFormat(m_listenFormat, {localPort});
    CString remote = record.Detail;
    if (remote.IsEmpty())
        remote = IpToText(&record.RemoteIp);
    return SafeFormat(m_connectFormat, {localPort, remote, static_cast<UINT>(record.RemotePort),
                                        FormatByteCount64(record.BytesSent),
                                        FormatByteCount64(record.BytesReceived)});
}

void CConnectionTree::RemoveConnection(const SessionRecord &record)
{
    HTREEITEM process = FindChild(TVI_ROOT, record.ProcessId);
    HTREEITEM group = process ? FindChild(process, GroupValue(record.Protocol)) : NULL;
    HTREEITEM connection = group ? FindChild(group, record.Socket) : NULL;
    if (!connection)
        return;
    ForgetNode(connection);
    m_tree.DeleteItem(connection);
    DeleteIfEmpty(group);
    DeleteIfEmpty(process);
}

void CConnectionTree::DeleteIfEmpty(HTREEITEM item)
{
    if (!m_tree.GetChildItem(item)) {
        ForgetNode(item);
        m_tree.DeleteItem(item);
    }
}

// One look at the process list serves every node.
void CConnectionTree::RemoveEndedProcesses()
{
    const CRunningProcesses running;
    HTREEITEM item = m_tree.GetRootItem();
    while (item) {
        HTREEITEM next = m_tree.GetNextSiblingItem(item);
        if (!running.Contains(m_tree.GetItemData(item))) {
            ForgetNode(item);
            m_tree.DeleteItem(item);
        }
        item = next;
    }
}

void CConnectionTree::Clear()
{
    m_programs.clear();
    m_nodes.clear();
    m_keys.clear();
    m_icons.Clear();
    m_tree.DeleteAllItems();
}

// Decided by depth, not by image: a process whose icon could not be added
// may carry any image.
HTREEITEM CConnectionTree::ProcessNodeOf(HTREEITEM item) const
{
    if (!item)
        return NULL;
    for (HTREEITEM parent = m_tree.GetParentItem(item); parent; parent = m_tree.GetParentItem(item))
        item = parent;
    return item;
}

CString CConnectionTree::ProgramOf(HTREEITEM processNode) const
{
    auto found = m_programs.find(processNode);
    return found == m_programs.end() ? CString() : found->second;
}
