inherited frmExampleOrder: TfrmExampleOrder
  Caption = '订单'
  ActiveControl = edCustomer
  inherited pgMain: TPageControl
    inherited tsGeneral: TTabSheet
      object lblCustomer: TLabel
        Left = 8
        Top = 12
        Caption = '客户(&C)'
        FocusControl = edCustomer
      end
      object edCustomer: TEdit
        Left = 80
        Top = 8
        MaxLength = 20
        TabOrder = 0
      end
      object cboProduct: TComboBox
        Left = 80
        Top = 36
        Style = csDropDownList
        Items.Strings = (
          '铅笔'
          '纸'
          '墨水')
        TabOrder = 1
      end
      object seQty: TSpinEdit
        Left = 80
        Top = 64
        MaxValue = 99
        MinValue = 1
        Value = 1
        TabOrder = 2
      end
      object chkExpress: TCheckBox
        Left = 80
        Top = 92
        Caption = '加急'
        TabOrder = 3
      end
    end
    object tsDelivery: TTabSheet
      Caption = '交货'
      object meDate: TMaskEdit
        Left = 80
        Top = 8
        EditMask = '0000/00/00;1;_'
        TabOrder = 0
      end
      object rgShift: TRadioGroup
        Left = 80
        Top = 40
        Height = 60
        Items.Strings = (
          '上午'
          '下午')
        ItemIndex = 0
        TabOrder = 1
      end
    end
  end
end
