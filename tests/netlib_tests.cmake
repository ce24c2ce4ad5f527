# The network library. The layout of a call between projectors (natively
# and under Wine, with the listening side's parser) and the byte formats of
# Inet (DNS messages, ICMP echoes, header numbers, interface texts) and of
# the FTP client (listings, its rules); under
# Wine only:
# Socket against a python3 echo peer on 127.0.0.1 that the test starts and
# stops, and PConn between a packaged projector that listens and a script
# of the command-line tool that calls it. The scripts that need no peer
# live in scripts/windows/ (socket_local, pconn_local).
kelpo_add_test(netlib_tests
    unit/test_support.cpp
    unit/netlib/call_block_test.cpp
    unit/netlib/dns_mx_test.cpp
    unit/netlib/inet_texts_test.cpp
    unit/netlib/ftp_listing_test.cpp
    unit/netlib/ftp_rules_test.cpp
)
target_link_libraries(netlib_tests PRIVATE kelpo_netlib kelpo_project_data)

if(CMAKE_CROSSCOMPILING AND KELPO_RUN_WINDOWS_TESTS)
    # PConn.send against blocks and listeners that break the layout;
    # Socket and _InetFtp_ against the collector.
    kelpo_add_test(netlib_windows_tests
        unit/test_support.cpp
        unit/netlib/network_classes_registration.cpp
        unit/netlib/pconn_hostile_test.cpp
        unit/netlib/socket_lifetime_test.cpp
        unit/netlib/inet_ftp_class_test.cpp
        unit/netlib/inet_lifetime_test.cpp
    )
    target_link_libraries(netlib_windows_tests PRIVATE kelpo_netlib)

    add_test(NAME netlib.socket_echo
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/netlib/socket_echo.sh $<TARGET_FILE:kelpo>
                     ${KELPO_TEST_RUNNER})
    set_tests_properties(netlib.socket_echo PROPERTIES TIMEOUT 300
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")

    # _InetFtp_ against pyftpdlib on 127.0.0.1 (tests/netlib/inet_ftp.sh),
    # 50 MB transfers included.
    add_test(NAME netlib.inet_ftp
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/netlib/inet_ftp.sh $<TARGET_FILE:kelpo>
                     ${KELPO_TEST_RUNNER})
    set_tests_properties(netlib.inet_ftp PROPERTIES TIMEOUT 900
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")

    # Inet against an HTTP file server, an HTTP peer of odd responses, a DNS
    # peer on port 53 (one at a time) and ICMP echo of 127.0.0.1.
    add_test(NAME netlib.inet_peers
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/netlib/inet_peers.sh $<TARGET_FILE:kelpo>
                     ${KELPO_TEST_RUNNER})
    set_tests_properties(netlib.inet_peers PROPERTIES TIMEOUT 600 RESOURCE_LOCK dns_port_53
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()

# PConn: a packaged projector listens, a script of the command-line tool
# calls it (the end-to-end machinery of host_tests.cmake).
if(WIN32 AND KELPO_RUN_WINDOWS_TESTS AND TARGET kelpo-build AND TARGET kelpo_player)
    add_test(NAME netlib.pconn_projector
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/netlib/pconn_projector.sh $<TARGET_FILE:kelpo-build>
                     $<TARGET_FILE:kelpo-projector> $<TARGET_FILE:kelpo_player>
                     $<TARGET_FILE:make-test-movie> $<TARGET_FILE:projector_peer>
                     ${KELPO_TEST_RUNNER} $<TARGET_FILE:kelpo>)
    set_tests_properties(netlib.pconn_projector PROPERTIES TIMEOUT 300 RESOURCE_LOCK wine_temp
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()

# Mail bytes, portable: transfer encodings, encoded words, the MIME writer
# and reader, SMTP and POP3 replies.
kelpo_add_test(mail_tests
    unit/netlib/mime_codecs_test.cpp
    unit/netlib/mime_message_test.cpp
    unit/netlib/mail_replies_test.cpp
)
target_link_libraries(mail_tests PRIVATE kelpo_netlib)

# Mail against real peers on 127.0.0.1: python3-aiosmtpd with AUTH and
# Dovecot's POP3 server (Windows programs under Wine).
if(CMAKE_CROSSCOMPILING AND KELPO_RUN_WINDOWS_TESTS)
    add_test(NAME netlib.mail_peers
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/netlib/mail_peers.sh $<TARGET_FILE:kelpo>
                     ${KELPO_TEST_RUNNER})
    set_tests_properties(netlib.mail_peers PROPERTIES TIMEOUT 400
        ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix")
endif()
