#!/bin/sh
# Hardware reset of the charger: reboot the panel computer.
sync
systemctl reboot 2>/dev/null || reboot
