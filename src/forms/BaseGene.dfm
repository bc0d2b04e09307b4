object frmBaseGene: TfrmBaseGene
  Left = 0
  Top = 0
  Width = 509
  Height = 355
  BorderIcons = [biMaximize]
  Caption = 'frmBaseGene'
  Color = clBtnFace
  Font.Color = clWindowText
  Font.Height = -13
  Font.Name = '宋体'
  Font.Style = []
  KeyPreview = True
  Position = poScreenCenter
  ActiveControl = pgOption
  OnClose = FormClose
  OnCreate = FormCreate
  OnDestroy = FormDestroy
  object pnlCondition: TPanel
    Left = 0
    Top = 0
    Width = 151
    Height = 269
    Align = alLeft
    BevelOuter = bvNone
    TabOrder = 0
    object lblCondition: TLabel
      Left = 0
      Top = 0
      Width = 151
      Height = 13
      Align = alTop
      Caption = ' 条件方案'
    end
    object lstCondition: TListView
      Left = 0
      Top = 13
      Width = 151
      Height = 256
      Align = alClient
      ColumnClick = False
      SortType = stText
      TabOrder = 0
    end
  end
  object Splitter1: TSplitter
    Left = 151
    Top = 0
    Width = 3
    Height = 269
  end
  object pgOption: TPageControl
    Left = 154
    Top = 0
    Width = 347
    Height = 269
    Hint = '请输入选项条件'
    Align = alClient
    TabOrder = 1
    object tsOption1: TTabSheet
      Caption = '基本选项'
    end
    object tsOption2: TTabSheet
      Caption = '系统选项'
      object lblToday: TLabel
        Left = 8
        Top = 12
        Width = 52
        Height = 13
        Caption = '制表日期'
        FocusControl = edPrintDate
      end
      object edPrintDate: TMaskEdit
        Left = 60
        Top = 8
        Width = 85
        Height = 21
        Hint = '[F2]日期快手'
        TabOrder = 0
      end
    end
  end
  object Panel1: TPanel
    Left = 0
    Top = 269
    Width = 501
    Height = 43
    Align = alBottom
    BevelOuter = bvNone
    TabOrder = 2
    object btnOk: TBitBtn
      Left = 330
      Top = 9
      Width = 75
      Height = 25
      Hint = '确定'
      Caption = '确定'
      TabOrder = 0
      OnClick = btnOkClick
    end
    object btnCancel: TBitBtn
      Left = 414
      Top = 9
      Width = 75
      Height = 25
      Hint = '取消'
      Cancel = True
      Caption = '取消'
      ModalResult = 2
      TabOrder = 1
      OnClick = btnCancelClick
    end
  end
end
