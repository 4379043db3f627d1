# Installs the build folder BUILD into a fresh PREFIX and checks that every
# piece a desktop needs is there.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "install failed: ${result}")
endif()
set(hicolor share/icons/hicolor)
foreach(file
    bin/corvella bin/corvella-capture share/corvella/help.html
    share/applications/corvella.desktop share/mime/packages/corvella-crvm.xml
    ${hicolor}/scalable/apps/corvella.svg ${hicolor}/48x48/apps/corvella.png
    ${hicolor}/256x256/apps/corvella.png
    ${hicolor}/scalable/mimetypes/application-x-corvella-crvm.svg
    ${hicolor}/48x48/mimetypes/application-x-corvella-crvm.png
    ${hicolor}/256x256/mimetypes/application-x-corvella-crvm.png)
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
file(READ ${PREFIX}/share/applications/corvella.desktop entry)
file(READ ${PREFIX}/share/mime/packages/corvella-crvm.xml package)
if(NOT entry MATCHES "MimeType=application/x-corvella-crvm;" OR NOT package MATCHES "type=\"application/x-corvella-crvm\"")
  message(FATAL_ERROR "launcher and MIME package name different types")
endif()
file(REMOVE_RECURSE ${PREFIX})
