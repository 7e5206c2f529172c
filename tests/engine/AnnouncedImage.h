// The rule image as a provider instance maps it: the announcement taken from
// the provider's shared data, the driver's block mapped with the announced
// size and the provider's flag. The block is closed when the object goes.
#pragma once

#include "AclImage.h"
#include "DriverInterface.h"
#include "NullDacl.h"
#include "ProviderControlBlock.h"

// Why an image is not there to read.
enum AnnouncedImageStatus {
    IMAGE_MAPPED = 0,
    IMAGE_NOT_ANNOUNCED = 3, // no image, or a rebuild under way
    IMAGE_NO_BLOCK = 4,      // the driver has no block of that name
    IMAGE_NOT_ATTACHED = 5,  // the block cannot hold an image header
};

class CAnnouncedImage {
public:
    explicit CAnnouncedImage(const ProviderControlBlock &control)
    {
        if (control.AclUpdating || !control.AclHandle)
            return;
        m_status = IMAGE_NO_BLOCK;
        m_block = CreateDriverBlock(INVALID_HANDLE_VALUE, GetNullDaclAttributes(), PAGE_READWRITE, 0,
                                    control.AclSize, "_QFW_MEMORY_ACL_FILE");
        if (!m_block || GetLastError() != ERROR_ALREADY_EXISTS)
            return;
        m_status = IMAGE_NOT_ATTACHED;
        if (m_view.Attach(MapDriverBlock(m_block, FILE_MAP_WRITE, 0, 0, 0, 0), control.AclSize,
                          control.AclConsoleView))
            m_status = IMAGE_MAPPED;
    }
    ~CAnnouncedImage()
    {
        if (m_block)
            CloseDriverBlock(m_block);
    }
    CAnnouncedImage(const CAnnouncedImage &) = delete;
    CAnnouncedImage &operator=(const CAnnouncedImage &) = delete;

    AnnouncedImageStatus Status() const { return m_status; }
    const CAclImageView &View() const { return m_view; }

private:
    AnnouncedImageStatus m_status = IMAGE_NOT_ANNOUNCED;
    HANDLE m_block = NULL;
    CAclImageView m_view;
};
