# Writes the installed update description, QfwUpdate.ini: the release's
# version, where the updater asks for the next release, and each file of the
# release with its modification time and size.
#   cmake -DOUTPUT=<file> -DVERSION=<text> -DCHECK_URL=<url>
#         -DFILES=<relative path>=<file>;... -P MakeUpdateDescription.cmake
# A file that this build did not make is left out.
string(TIMESTAMP now "%Y-%m-%d %H:%M:%S" UTC)
set(entries "")
set(count 0)
foreach(pair IN LISTS FILES)
  string(FIND "${pair}" "=" split)
  string(SUBSTRING "${pair}" 0 ${split} relative)
  math(EXPR start "${split} + 1")
  string(SUBSTRING "${pair}" ${start} -1 path)
  if(NOT EXISTS "${path}")
    continue()
  endif()
  math(EXPR count "${count} + 1")
  file(SIZE "${path}" size)
  file(TIMESTAMP "${path}" modified "%Y-%m-%d %H:%M:%S" UTC)
  string(APPEND entries "${count}_file=${relative}\r\n${count}_modify_time=${modified}\r\n"
                        "${count}_size=${size}\r\n")
endforeach()
file(WRITE "${OUTPUT}"
  "[MAIN_INFOR]\r\nVersion=${VERSION}\r\nSWVersion=${VERSION}\r\nUpdateTime=${now}\r\n"
  "CheckVeisionUrl=${CHECK_URL}\r\n\r\n"
  "[FILES]\r\nNumber=${count}\r\n${entries}\r\n"
  "[END_FLAG]\r\nMARK_STR={9075D242-9EA9-4ca3-AE3C-5D4FAE69A9AE}\r\n")
