# The Debian package: `cpack -G DEB` in the build folder, or `cmake --build build --target package`.

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME dsplab)
set(CPACK_PACKAGE_VENDOR "DSP Lab developers")
set(CPACK_PACKAGE_CONTACT "DSP Lab developers <dsplab@example.org>")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# Directories made while staging the package get the usual modes whatever the umask is.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "DSP Lab developers <dsplab@example.org>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The libraries the program links (Qt, the C++ runtime) become dependencies through dpkg-shlibdeps.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt draws text with fonts it finds through fontconfig; without any font a window shows no words.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2")
# The synopsis line is the project's description; this is the text below it.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY ${PROJECT_DESCRIPTION})
set(CPACK_PACKAGE_DESCRIPTION
"DSP Lab is a desktop program for teaching digital signal processing. It builds
square, triangle, sawtooth, rectified sine and pulse waveforms from a chosen
number of Fourier harmonics and draws each with its line spectrum, and designs
FIR filters by the windowed-sinc method (lowpass with a rectangular window;
lowpass, highpass, bandpass and bandstop with a Blackman window), listing the
taps and plotting the linear, logarithmic and phase responses.
.
A scripted snapshot mode renders any screen into pictures for slides.")

# The manual page is installed plain by `cmake --install`; in the package it is compressed, as
# Debian policy asks.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/compress-man-pages.cmake)

include(CPack)
