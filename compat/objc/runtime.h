// Objective-C object runtime stand-in: classes, instance variables, methods, protocols, selectors,
// instances and autorelease pools, under the platform's function names.
//
// Implements: class pairs (a class and its metaclass) made, registered and disposed at run time;
// instance variables by name with size, alignment and offset; methods as a selector bound to a plain
// function, with the type string stored as given and never parsed; protocols by name; selectors;
// reference-counted instances that receive `dealloc` at the last release; per-thread autorelease pools.
// Thread-safe: classes, selectors and protocols may be made and looked up on any thread, also during
// static initialisation (the tables are made on first use and live until exit).
// Lacks: categories, properties, method swizzling, weak references, class handlers for unknown names,
// forwarding, exceptions, the C function objc_msgSend (use objc::msgSend of <objc/message.h>).
// Deviations: a class pair that is disposed while instances (or subclasses) of it live is unnamed at
// once but freed only when the last of them goes; the superclass of a new class must be registered;
// class_addIvar refuses a name that the class or a superclass already has; a message nobody
// implements is reported on standard error and aborts the process (the platform raises an exception
// that, uncaught, ends it too).
#pragma once

#include "objc/objc.h"

#include <cstddef>
#include <cstdint>

typedef struct objc_ivar* Ivar;
typedef struct objc_method* Method;
typedef struct objc_protocol Protocol;

// ---- Classes --------------------------------------------------------------------------------------

// A new class pair, subclass of `superclass` (Nil for a root class, else a registered class), named
// `name`. Nil when the name is in use (registered or still being built) or the superclass is not
// registered. `extraBytes` is accepted and not used.
Class objc_allocateClassPair(Class superclass, const char* name, size_t extraBytes);
// Makes the class usable: instances can be made and objc_getClass finds it. Ivars are fixed from now.
void objc_registerClassPair(Class cls);
// Frees the pair and its name; deferred while instances or subclasses of it live.
void objc_disposeClassPair(Class cls);

// The registered class of that name, or Nil. objc_lookUpClass answers the same.
Class objc_getClass(const char* name);
Class objc_lookUpClass(const char* name);
Class objc_getMetaClass(const char* name);

const char* class_getName(Class cls);  // "nil" for Nil
Class class_getSuperclass(Class cls);
BOOL class_isMetaClass(Class cls);
size_t class_getInstanceSize(Class cls);  // the class pointer included; 0 for Nil

// ---- Instance variables ---------------------------------------------------------------------------

// Adds an instance variable to a class that is not registered yet. `alignmentLog2` is the alignment as
// a power of two (3 for 8 bytes). NO for a metaclass, a registered class or a name already taken.
BOOL class_addIvar(Class cls, const char* name, size_t size, uint8_t alignmentLog2, const char* types);
// The variable of that name in the class or its superclasses, or null.
Ivar class_getInstanceVariable(Class cls, const char* name);
const char* ivar_getName(Ivar ivar);
const char* ivar_getTypeEncoding(Ivar ivar);
ptrdiff_t ivar_getOffset(Ivar ivar);  // from the start of the object

// An object-pointer variable, read and written without retaining (as an unretained reference).
id object_getIvar(id object, Ivar ivar);
void object_setIvar(id object, Ivar ivar, id value);

// ---- Methods --------------------------------------------------------------------------------------

// Binds `name` to `imp` in `cls` (a metaclass for class methods). `imp` is a plain function taking the
// receiver, the selector and the method's arguments. NO when the class itself already has the
// selector; overriding a superclass's method is fine, also after registration.
BOOL class_addMethod(Class cls, SEL name, IMP imp, const char* types);
// The method for `name` in the class or its superclasses, or null.
Method class_getInstanceMethod(Class cls, SEL name);
Method class_getClassMethod(Class cls, SEL name);
IMP method_getImplementation(Method method);
SEL method_getName(Method method);
const char* method_getTypeEncoding(Method method);
// Whether instances of the class respond to the selector. NO for Nil.
BOOL class_respondsToSelector(Class cls, SEL name);

// ---- Protocols ------------------------------------------------------------------------------------

// A new protocol, usable once registered. Null when the name is taken.
Protocol* objc_allocateProtocol(const char* name);
void objc_registerProtocol(Protocol* protocol);
// The registered protocol of that name, or null.
Protocol* objc_getProtocol(const char* name);
const char* protocol_getName(Protocol* protocol);
// NO for a null or unregistered protocol and for one the class adopts already.
BOOL class_addProtocol(Class cls, Protocol* protocol);
// Whether the class or a superclass adopts the protocol.
BOOL class_conformsToProtocol(Class cls, Protocol* protocol);

// ---- Selectors ------------------------------------------------------------------------------------

// The unique selector of that name (made on first use; selectors live until exit). Null for null.
SEL sel_registerName(const char* name);
SEL sel_getUid(const char* name);
const char* sel_getName(SEL sel);  // "<null selector>" for null
BOOL sel_isEqual(SEL a, SEL b);

// ---- Objects --------------------------------------------------------------------------------------

// A zeroed instance of a registered class with a reference count of 1 (Nil otherwise). Most code
// sends +alloc instead.
id class_createInstance(Class cls, size_t extraBytes);
// Frees an instance made by class_createInstance, without sending anything (the root -dealloc).
void object_dispose(id object);
Class object_getClass(id object);  // the metaclass for a class object; Nil for nil
const char* object_getClassName(id object);

// Reference counting and autorelease by message: these send -retain, -release and -autorelease, or,
// when the class implements no such method, do the root behaviour of <objc/message.h>. nil is fine.
id objc_retain(id object);
void objc_release(id object);
id objc_autorelease(id object);

// Autorelease pools of the calling thread: Pop releases everything autoreleased since the matching
// Push, inner pools included. A thread's pools are popped when it ends.
void* objc_autoreleasePoolPush(void);
void objc_autoreleasePoolPop(void* pool);
