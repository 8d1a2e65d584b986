/* Stand-in for the encryption driver: two devices (VeraCrypt and TrueCrypt),
 * each keeping a table of mounted letters that the stand-in program sets and
 * clears, and answering the mount-list request from it. */
#include <ntddk.h>

#include "StandinProtocol.h"

typedef struct {
  KSPIN_LOCK Lock;
  ULONG Mounted;
  ULONG TrueCryptMode[STANDIN_LETTERS];
  WCHAR Names[STANDIN_LETTERS][STANDIN_NAME_CHARS];
  BOOLEAN IsTrueCrypt;
} MOUNT_TABLE;

DRIVER_INITIALIZE DriverEntry;
static DRIVER_UNLOAD StandinUnload;
static DRIVER_DISPATCH StandinCreateClose;
static DRIVER_DISPATCH StandinControl;

static ULONG GetU32(const UCHAR* b, ULONG off) {
  return (ULONG)b[off] | ((ULONG)b[off + 1] << 8) | ((ULONG)b[off + 2] << 16) | ((ULONG)b[off + 3] << 24);
}

static void PutU32(UCHAR* b, ULONG off, ULONG v) {
  b[off] = (UCHAR)v;
  b[off + 1] = (UCHAR)(v >> 8);
  b[off + 2] = (UCHAR)(v >> 16);
  b[off + 3] = (UCHAR)(v >> 24);
}

/* Which sizes each program asks for, and where its flags go (0: none). */
static BOOLEAN ReplyLayout(const MOUNT_TABLE* t, ULONG size, ULONG* flagsOffset) {
  if (t->IsTrueCrypt) {
    *flagsOffset = 0;
    return size == STANDIN_MOUNT_LIST_TRUECRYPT_SIZE;
  }
  if (size == STANDIN_MOUNT_LIST_VERACRYPT_OLD_SIZE) {
    *flagsOffset = STANDIN_FLAGS_OFFSET_OLD;
    return TRUE;
  }
  if (size == STANDIN_MOUNT_LIST_VERACRYPT_SIZE) {
    *flagsOffset = STANDIN_FLAGS_OFFSET;
    return TRUE;
  }
  return FALSE;
}

static NTSTATUS MountList(MOUNT_TABLE* t, UCHAR* buf, ULONG size, ULONG_PTR* info) {
  ULONG flagsOffset, k, c;
  KIRQL irql;
  if (!ReplyLayout(t, size, &flagsOffset)) return STATUS_INVALID_PARAMETER;
  /* Buffered: the request's input shares this buffer, so nothing of it may
   * show through. */
  RtlZeroMemory(buf, size);
  KeAcquireSpinLock(&t->Lock, &irql);
  PutU32(buf, STANDIN_BITS_OFFSET, t->Mounted);
  for (k = 0; k < STANDIN_LETTERS; ++k) {
    if (!(t->Mounted & (1u << k))) continue;
    for (c = 0; c < STANDIN_NAME_CHARS && t->Names[k][c]; ++c) {
      ULONG off = STANDIN_NAMES_OFFSET + k * STANDIN_NAME_BYTES + c * 2;
      buf[off] = (UCHAR)t->Names[k][c];
      buf[off + 1] = (UCHAR)(t->Names[k][c] >> 8);
    }
    if (flagsOffset) PutU32(buf, flagsOffset + k * 4, t->TrueCryptMode[k]);
  }
  KeReleaseSpinLock(&t->Lock, irql);
  *info = size;
  return STATUS_SUCCESS;
}

static NTSTATUS SetMount(MOUNT_TABLE* t, const UCHAR* in, ULONG size) {
  ULONG letter, c;
  KIRQL irql;
  if (size < STANDIN_SET_SIZE) return STATUS_INVALID_PARAMETER;
  letter = GetU32(in, STANDIN_SET_LETTER_OFFSET);
  if (letter >= STANDIN_LETTERS) return STATUS_INVALID_PARAMETER;
  KeAcquireSpinLock(&t->Lock, &irql);
  for (c = 0; c + 1 < STANDIN_NAME_CHARS; ++c) {
    ULONG off = STANDIN_SET_NAME_OFFSET + c * 2;
    WCHAR ch = (WCHAR)(in[off] | (in[off + 1] << 8));
    t->Names[letter][c] = ch;
    if (!ch) break;
  }
  t->Names[letter][c] = 0;
  t->TrueCryptMode[letter] = GetU32(in, STANDIN_SET_FLAG_OFFSET) ? 1 : 0;
  t->Mounted |= 1u << letter;
  KeReleaseSpinLock(&t->Lock, irql);
  return STATUS_SUCCESS;
}

static NTSTATUS ClearMount(MOUNT_TABLE* t, const UCHAR* in, ULONG size) {
  KIRQL irql;
  ULONG mask = 0xFFFFFFFFu;
  if (size >= 4) {
    ULONG letter = GetU32(in, 0);
    if (letter >= STANDIN_LETTERS) return STATUS_INVALID_PARAMETER;
    mask = 1u << letter;
  }
  KeAcquireSpinLock(&t->Lock, &irql);
  t->Mounted &= ~mask;
  KeReleaseSpinLock(&t->Lock, irql);
  return STATUS_SUCCESS;
}

static NTSTATUS StandinControl(PDEVICE_OBJECT device, PIRP irp) {
  PIO_STACK_LOCATION stack = IoGetCurrentIrpStackLocation(irp);
  MOUNT_TABLE* t = (MOUNT_TABLE*)device->DeviceExtension;
  UCHAR* buf = (UCHAR*)irp->AssociatedIrp.SystemBuffer;
  ULONG inSize = stack->Parameters.DeviceIoControl.InputBufferLength;
  ULONG outSize = stack->Parameters.DeviceIoControl.OutputBufferLength;
  NTSTATUS status = STATUS_INVALID_DEVICE_REQUEST;

  irp->IoStatus.Information = 0;
  switch (stack->Parameters.DeviceIoControl.IoControlCode) {
    case STANDIN_MOUNT_LIST_CODE:
      status = buf ? MountList(t, buf, outSize, &irp->IoStatus.Information) : STATUS_INVALID_PARAMETER;
      break;
    case STANDIN_SET_MOUNT_CODE:
      status = buf ? SetMount(t, buf, inSize) : STATUS_INVALID_PARAMETER;
      break;
    case STANDIN_CLEAR_MOUNT_CODE:
      status = ClearMount(t, buf, buf ? inSize : 0);
      break;
  }
  irp->IoStatus.Status = status;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return status;
}

static NTSTATUS StandinCreateClose(PDEVICE_OBJECT device, PIRP irp) {
  (void)device;
  irp->IoStatus.Status = STATUS_SUCCESS;
  irp->IoStatus.Information = 0;
  IoCompleteRequest(irp, IO_NO_INCREMENT);
  return STATUS_SUCCESS;
}

static NTSTATUS CreateTableDevice(PDRIVER_OBJECT driver, PCWSTR deviceName, PCWSTR linkName, BOOLEAN isTrueCrypt) {
  UNICODE_STRING name, link;
  PDEVICE_OBJECT device;
  MOUNT_TABLE* t;
  NTSTATUS status;

  RtlInitUnicodeString(&name, deviceName);
  RtlInitUnicodeString(&link, linkName);
  status = IoCreateDevice(driver, sizeof(MOUNT_TABLE), &name, FILE_DEVICE_UNKNOWN, 0, FALSE, &device);
  if (!NT_SUCCESS(status)) return status;
  t = (MOUNT_TABLE*)device->DeviceExtension;
  RtlZeroMemory(t, sizeof(*t));
  KeInitializeSpinLock(&t->Lock);
  t->IsTrueCrypt = isTrueCrypt;
  status = IoCreateSymbolicLink(&link, &name);
  if (!NT_SUCCESS(status)) IoDeleteDevice(device);
  return status;
}

static void StandinUnload(PDRIVER_OBJECT driver) {
  UNICODE_STRING link;
  RtlInitUnicodeString(&link, STANDIN_VERACRYPT_LINK);
  IoDeleteSymbolicLink(&link);
  RtlInitUnicodeString(&link, STANDIN_TRUECRYPT_LINK);
  IoDeleteSymbolicLink(&link);
  while (driver->DeviceObject) IoDeleteDevice(driver->DeviceObject);
}

NTSTATUS DriverEntry(PDRIVER_OBJECT driver, PUNICODE_STRING registryPath) {
  NTSTATUS status;
  (void)registryPath;
  driver->MajorFunction[IRP_MJ_CREATE] = StandinCreateClose;
  driver->MajorFunction[IRP_MJ_CLOSE] = StandinCreateClose;
  driver->MajorFunction[IRP_MJ_DEVICE_CONTROL] = StandinControl;
  driver->DriverUnload = StandinUnload;

  status = CreateTableDevice(driver, STANDIN_VERACRYPT_DEVICE, STANDIN_VERACRYPT_LINK, FALSE);
  if (NT_SUCCESS(status)) status = CreateTableDevice(driver, STANDIN_TRUECRYPT_DEVICE, STANDIN_TRUECRYPT_LINK, TRUE);
  if (!NT_SUCCESS(status)) StandinUnload(driver);
  return status;
}
