#!/bin/sh
# Software reset of the charger: end the HMI; its service manager
# (charger-hmi.service, Restart=always) starts it again.
systemctl restart --no-block charger-hmi.service 2>/dev/null || kill -TERM "${HMI_PID:-$PPID}"
