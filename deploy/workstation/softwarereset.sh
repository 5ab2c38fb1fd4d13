#!/bin/sh
# Workstation stand-in for the software reset: end the running HMI (its PID is
# handed over in HMI_PID); run.sh does not restart it.
[ -n "$HMI_PID" ] && kill -TERM "$HMI_PID"
