<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>ErrorText</name>
    <message>
        <source>磁盘空间不足。</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>文件大小超出了系统限制。</source>
        <translation>The file is larger than the system allows.</translation>
    </message>
    <message>
        <source>没有写入权限。</source>
        <translation>No permission to write.</translation>
    </message>
    <message>
        <source>没有读取权限。</source>
        <translation>No permission to read.</translation>
    </message>
    <message>
        <source>文件系统是只读的。</source>
        <translation>The file system is read-only.</translation>
    </message>
    <message>
        <source>该位置上是一个目录。</source>
        <translation>A directory is in its place.</translation>
    </message>
    <message>
        <source>路径中有一部分不是目录。</source>
        <translation>Part of the path is not a directory.</translation>
    </message>
    <message>
        <source>读写磁盘时出错（输入/输出错误）。</source>
        <translation>The disk could not be read or written (input/output error).</translation>
    </message>
    <message>
        <source>路径中有一部分不存在。</source>
        <translation>Part of the path does not exist.</translation>
    </message>
    <message>
        <source>路径中的符号链接过多或构成循环。</source>
        <translation>The path has too many symbolic links, or a loop of them.</translation>
    </message>
</context>
<context>
    <name>MainWidget</name>
    <message>
        <source>已应用</source>
        <translation>Applied</translation>
    </message>
    <message>
        <source>已保存，但 IBus 未收到</source>
        <translation>Saved, but IBus did not receive it</translation>
    </message>
    <message>
        <source>设置已写入设置文件，但 IBus 没有收到新设置（它可能没有运行）。输入法下次启动时会读取新设置。</source>
        <translation>The settings were written to the settings file, but IBus did not receive them (it may not be running). The input method reads them the next time it starts.</translation>
    </message>
    <message>
        <source>没有需要应用的更改</source>
        <translation>Nothing to apply</translation>
    </message>
    <message>
        <source>保存失败</source>
        <translation>Saving failed</translation>
    </message>
    <message>
        <source>常用</source>
        <translation>General</translation>
    </message>
    <message>
        <source>词库</source>
        <translation>Word Libraries</translation>
    </message>
    <message>
        <source>高级</source>
        <translation>Advanced</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>恢复本页默认设置</source>
        <translation>Restore Defaults of This Page</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>应用</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>无法写入设置文件：%1
原因：%2</source>
        <translation>Cannot write the settings file: %1
Reason: %2</translation>
    </message>
    <message>
        <source>部分更改未能完成</source>
        <translation>Some changes could not be completed</translation>
    </message>
    <message>
        <source>未连接到 IBus：更改仍会保存，输入法下次启动时读取。</source>
        <translation>No IBus: changes are saved for the engine&apos;s next start.</translation>
    </message>
    <message>
        <source>无法读取设置文件，窗口中是默认设置</source>
        <translation>The settings file cannot be read; the window shows the defaults</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>墨岚拼音输入法设置</source>
        <translation>Molan Pinyin Input Method Settings</translation>
    </message>
</context>
<context>
    <name>PageHelpers</name>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>Privileges</name>
    <message>
        <source>无法切换为主目录所有者的身份运行，未做任何更改。</source>
        <translation>Could not run as the owner of the home directory; nothing was changed.</translation>
    </message>
    <message>
        <source>其他用户可以写入主目录，以 root 身份运行不安全，未做任何更改。</source>
        <translation>Other users can write to the home directory, so running as root there is unsafe; nothing was changed.</translation>
    </message>
</context>
<context>
    <name>SaveResult</name>
    <message>
        <source>找不到用户的主目录。</source>
        <translation>The user&apos;s home directory cannot be found.</translation>
    </message>
    <message>
        <source>该位置上不是普通文件。</source>
        <translation>Something other than a regular file is in its place.</translation>
    </message>
    <message>
        <source>设置文件正被其他程序锁定。</source>
        <translation>The settings file is locked by another program.</translation>
    </message>
    <message>
        <source>写入的内容无法完整读回。</source>
        <translation>What was written cannot be read back in full.</translation>
    </message>
    <message>
        <source>设置文件过大（超过 16 MiB）。</source>
        <translation>The settings file is too large (over 16 MiB).</translation>
    </message>
    <message>
        <source>设置文件是另一文件系统的挂载点，无法替换。</source>
        <translation>The settings file is a mount point of another file system and cannot be replaced.</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>没有可用的私有目录，无法阻止同时运行多个副本。</source>
        <translation>No private directory is usable, so other copies of the tool may run at the same time.</translation>
    </message>
</context>
<context>
    <name>TabWidgetAbout</name>
    <message>
        <source>版本与授权</source>
        <translation>Version and License</translation>
    </message>
    <message>
        <source>输入法版本: %1</source>
        <translation>Input method version: %1</translation>
    </message>
    <message>
        <source>版权所有 © 2026 墨岚拼音开发组</source>
        <translation>Copyright © 2026 the Molan Pinyin developers</translation>
    </message>
    <message>
        <source>墨岚拼音开发组保留所有权利。</source>
        <translation>The Molan Pinyin developers reserve all rights.</translation>
    </message>
    <message>
        <source>Internet</source>
        <translation>Internet</translation>
    </message>
    <message>
        <source>输入法论坛：https://forum.quilmo.example.org/</source>
        <translation>Forum: https://forum.quilmo.example.org/</translation>
    </message>
    <message>
        <source>联系我们：support@quilmo.example.org</source>
        <translation>Contact: support@quilmo.example.org</translation>
    </message>
</context>
<context>
    <name>TabWidgetBasic</name>
    <message>
        <source>默认状态</source>
        <translation>Default State</translation>
    </message>
    <message>
        <source>隐藏状态栏</source>
        <translation>Hide the status bar</translation>
    </message>
    <message>
        <source>显示设置</source>
        <translation>Display</translation>
    </message>
    <message>
        <source>候选词个数</source>
        <translation>Number of candidates</translation>
    </message>
    <message>
        <source>字词选项</source>
        <translation>Characters and Words</translation>
    </message>
    <message>
        <source>字频调整</source>
        <translation>Character frequency</translation>
    </message>
    <message>
        <source>词频调整</source>
        <translation>Word frequency</translation>
    </message>
    <message>
        <source>固定</source>
        <translation>Fixed</translation>
    </message>
    <message>
        <source>快速</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>慢速</source>
        <translation>Slow</translation>
    </message>
</context>
<context>
    <name>TabWidgetSpecial</name>
    <message>
        <source>智能组词</source>
        <translation>Intelligent word building</translation>
    </message>
    <message>
        <source>i字母开头进入数字单位模式</source>
        <translation>i-prefix: numbers and units</translation>
    </message>
    <message>
        <source>B字母开头进入笔画输入模式</source>
        <translation>B-prefix: stroke input</translation>
    </message>
    <message>
        <source>使用自定义短语</source>
        <translation>Use custom phrases</translation>
    </message>
    <message>
        <source>智能选项</source>
        <translation>Intelligence</translation>
    </message>
    <message>
        <source>模式开关</source>
        <translation>Modes</translation>
    </message>
    <message>
        <source>自定义短语</source>
        <translation>Custom Phrases</translation>
    </message>
    <message>
        <source>自定义短语显示位置</source>
        <translation>Shown at position</translation>
    </message>
</context>
<context>
    <name>TabWidgetWordLib</name>
    <message>
        <source>这个词库总是启用，不能取消。</source>
        <translation>This word library is always active and cannot be turned off.</translation>
    </message>
    <message>
        <source>文件名中含有分号（;），无法启用这个词库。</source>
        <translation>The file name contains a semicolon (;), so this word library cannot be activated.</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>删除自己添加的词库；系统词库和 user.qlb 不能删除。</source>
        <translation>Removes a word library you added; system word libraries and user.qlb cannot be removed.</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>作者</source>
        <translation>Author</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File Name</translation>
    </message>
    <message>
        <source>词条</source>
        <translation>Entries</translation>
    </message>
    <message>
        <source>词库列表</source>
        <translation>Word library list</translation>
    </message>
    <message>
        <source>词库文件名中不能含有分号（;）！</source>
        <translation>A word library&apos;s file name cannot contain a semicolon (;)!</translation>
    </message>
    <message>
        <source>拷贝词库文件失败！</source>
        <translation>Copying the word library file failed!</translation>
    </message>
    <message>
        <source>该词库已经在词库列表中！</source>
        <translation>This word library is already in the list!</translation>
    </message>
    <message>
        <source>词库目录存在同名文件，无法创建！</source>
        <translation>A file of that name is already in the word library folder!</translation>
    </message>
    <message>
        <source>非法的词库文件！</source>
        <translation>Not a valid word library file!</translation>
    </message>
    <message>
        <source>打开词库文件失败！</source>
        <translation>Opening the word library file failed!</translation>
    </message>
    <message>
        <source>选择词库</source>
        <translation>Choose a Word Library</translation>
    </message>
    <message>
        <source>词库文件 (*.qlb)</source>
        <translation>Word libraries (*.qlb)</translation>
    </message>
    <message>
        <source>添加失败</source>
        <translation>Adding Failed</translation>
    </message>
    <message>
        <source>删除失败</source>
        <translation>Removing Failed</translation>
    </message>
    <message>
        <source>无法删除词库文件！</source>
        <translation>The word library file cannot be removed!</translation>
    </message>
    <message>
        <source>文件：</source>
        <translation>File: </translation>
    </message>
    <message>
        <source>删除词库</source>
        <translation>Remove Word Library</translation>
    </message>
    <message>
        <source>确定要删除词库“%1”吗？</source>
        <translation>Remove the word library “%1”?</translation>
    </message>
    <message>
        <source>文件：%1
确定或应用后，这个文件将被删除。</source>
        <translation>File: %1
The file is deleted on OK or Apply.</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>文件名不是有效的 UTF-8 文本，无法启用这个词库。</source>
        <translation>The file name is not valid UTF-8 text, so this word library cannot be activated.</translation>
    </message>
    <message>
        <source>系统词库中有同名文件，无法启用这个词库。</source>
        <translation>A system word library has the same file name, so this one cannot be activated.</translation>
    </message>
    <message>
        <source>原因：</source>
        <translation>Reason: </translation>
    </message>
    <message>
        <source>词库文件名须以小写的 .qlb 结尾，且不能以点（.）开头！</source>
        <translation>A word library&apos;s file name must end in lower-case .qlb and must not start with a dot (.)!</translation>
    </message>
    <message>
        <source>系统词库中已有同名词库，无法添加！</source>
        <translation>A system word library already has this file name!</translation>
    </message>
    <message>
        <source>无法读取词库文件！</source>
        <translation>Cannot read the word library file!</translation>
    </message>
    <message>
        <source>添加词库</source>
        <translation>Adding a Word Library</translation>
    </message>
    <message>
        <source>正在拷贝：%1</source>
        <translation>Copying: %1</translation>
    </message>
    <message>
        <source>同名词库正等待删除，请在应用完成删除后再添加！</source>
        <translation>A library of this name is waiting to be removed; add it again once Apply has removed it!</translation>
    </message>
    <message>
        <source>确认删除后，这个文件已被替换或修改，没有删除。</source>
        <translation>This file was replaced or changed after its removal was confirmed; it was not removed.</translation>
    </message>
    <message>
        <source>词库文件没有删除，仍在词库目录中。
删除要在应用之后、IBus 收到不含它的词库选择时才进行。</source>
        <translation>The word library file was not removed and stays in the library folder.
It is removed only after Apply, once IBus has received a selection without it.</translation>
    </message>
</context>
</TS>
